OrnivalePackage:OVID_39522_5000000000
110
-xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx
alphabravo!\, a.txt, 99, 5, 983654400|
\Skins, b.skn, 104, 6, 0|
\SampleContent\PNGs, c.png, 110, 0, 941776896|
