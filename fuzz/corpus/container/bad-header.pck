OrnivalePackage:OVID_39522_5000000000
12x4
-xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx
\, a.txt, 99, 5, 0|
