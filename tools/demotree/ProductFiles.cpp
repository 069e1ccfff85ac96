#include "tools/demotree/ProductFiles.h"

#include <array>

namespace ov::demotree {

namespace {

struct HelpChapter {
  const char* Title;
  const char* Text;
};

constexpr HelpChapter kChapters[] = {
    {"Welcome",
     "Ornivale\x99 turns your documents, tables and pictures into applications for mobile phones. You "
     "collect the content, arrange it in chapters and press Build: Ornivale writes a MIDlet (a JAR and its "
     "JAD) that runs on any phone with Java ME, MIDP 1.0 or 2.0."},
    {"Your first project",
     "Choose File, New project. Give the project a title, then drag documents from the Explorer onto the "
     "chapter tree. Texts (.txt, .rtf, .htm) become pages; tables (.csv and spreadsheets) become lists the "
     "reader can scroll. Save the project: everything it needs is kept in one .ov5 file."},
    {"Chapters and items",
     "A chapter groups the items that the phone shows under one menu entry. Drag items to change their "
     "order, or press F2 to rename a chapter. An item remembers the document it came from; choose Refresh "
     "to convert it again after you have changed the document."},
    {"Pictures",
     "Drop PNG, GIF, JPEG or BMP pictures on an item to show them with its text. Ornivale scales them to "
     "the phone's screen and, for MIDP 1.0 phones, converts them to PNG. The quality slider trades size "
     "against sharpness."},
    {"Content from the web and the clipboard",
     "An item or a picture can come from a URL: the phone then fetches it when the reader opens the page. "
     "Pasted text is kept inside the project, so it travels with the .ov5 file."},
    {"Schemes and skins",
     "Colour, string and icon schemes (in the Schemas folder) set the look and the language of the "
     "applications you build. Skins (in the Skins folder) change the look of Ornivale itself."},
    {"Building the application",
     "Choose Build, Application. Ornivale needs a Java Development Kit and a wireless toolkit; it finds "
     "the ones that are installed. The JAR and JAD are written to the Compiled folder of the project."},
    {"Testing on the emulator",
     "Choose Build, Run in emulator to start the wireless toolkit's phone emulator with your application. "
     "Pick a device from the list to see how the pages fit its screen."},
    {"Putting the application on a phone",
     "Copy the JAR and JAD to the phone with its own software or over Bluetooth, or put both on a web "
     "server and open the JAD's address in the phone's browser."},
    {"The sample projects",
     "The Projects folder holds nine samples, from a city guide to a newsletter. Their documents and "
     "pictures are in the SampleContent folder; the applications built from them are in Projects\\Compiled."},
    {"Keyboard shortcuts",
     "Ctrl+N new project, Ctrl+O open, Ctrl+S save, F5 refresh the selected item, F9 build, Ctrl+F9 build "
     "and run in the emulator, Del remove the selected item."},
    {"Support", "Velmorra srl answers questions about Ornivale by e-mail at support@example.com."},
};

const char* const kMakers[] = {"Alcor", "Brisa", "Cumulo", "Dorado", "Estro", "Fiordo",
                               "Garbo", "Halo",  "Indaco", "Juno",   "Kappa", "Lumen"};
const char* const kScreens[] = {"128 x 128", "128 x 160", "176 x 208", "176 x 220", "240 x 320", "352 x 416"};

// One row of the device table; n numbers the device.
std::string DeviceRow(int n) {
  const std::string maker = kMakers[n % 12];
  const int model = 1000 + (n / 12) * 10 + n % 7;
  const bool midp2 = n % 5 != 0;
  return "<tr><td>" + maker + "</td><td>" + maker.substr(0, 2) + "-" + std::to_string(model) + "</td><td>" +
         (midp2 ? "MIDP 2.0" : "MIDP 1.0") + "</td><td>" + kScreens[(n * 7) % 6] + "</td><td>" +
         (midp2 && n % 3 ? "yes" : "no") + "</td></tr>\r\n";
}

struct SchemeColours {
  const char* Name;
  const char* Background;
  const char* Text;
  const char* Title;
  const char* Highlight;
};

constexpr SchemeColours kColourSchemes[] = {
    {"Ocean", "24,96,160", "255,255,255", "250,224,96", "120,190,240"},
    {"Classic", "255,255,255", "0,0,0", "204,0,0", "255,230,150"},
    {"Night", "16,20,56", "220,220,200", "240,240,120", "60,70,130"},
    {"Meadow", "236,246,220", "30,60,20", "72,140,52", "200,230,150"},
    {"Sand", "246,232,200", "80,60,30", "196,120,40", "255,210,140"},
    {"Graphite", "60,60,64", "230,230,230", "160,200,255", "100,100,110"},
    {"Ruby", "250,240,240", "60,0,10", "150,20,36", "250,190,190"},
    {"Ice", "236,244,252", "20,40,70", "40,110,190", "200,226,246"},
    {"Paper", "250,248,240", "40,40,40", "90,90,90", "230,226,210"},
};

// Ten button labels and ten messages, in nine languages.
constexpr std::array<const char*, 10> kStringKeys = {"Back",   "Exit", "Next",   "Image",     "Password",
                                                     "Cancel", "OK",   "Select", "Cancelled", "NoMemory"};

struct Language {
  const char* Name;
  const char* Code;
  std::array<const char*, 10> Texts;
};

constexpr Language kLanguages[] = {
    {"English",
     "en",
     {"Back", "Exit", "Next", "Image", "Password", "Cancel", "OK", "Select", "action cancelled!",
      "out of memory"}},
    {"Italiano",
     "it",
     {"Indietro", "Esci", "Avanti", "Immagine", "Password", "Annulla", "OK", "Scegli", "azione annullata!",
      "memoria esaurita"}},
    {"Deutsch",
     "de",
     {"Zur\xFC"
      "ck",
      "Ende", "Weiter", "Bild", "Kennwort", "Abbrechen", "OK", "W\xE4hlen", "abgebrochen!", "kein Speicher"}},
    {"Francais",
     "fr",
     {"Retour", "Quitter", "Suivant", "Image", "Mot de passe", "Annuler", "OK", "Choisir",
      "action annul\xE9"
      "e !",
      "m\xE9moire pleine"}},
    {"Espanol",
     "es",
     {"Atr\xE1s", "Salir", "Siguiente", "Imagen",
      "Contrase\xF1"
      "a",
      "Cancelar", "OK", "Elegir",
      "\xA1"
      "acci\xF3n cancelada!",
      "sin memoria"}},
    {"Portugues",
     "pt",
     {"Voltar", "Sair", "Seguinte", "Imagem", "Senha", "Cancelar", "OK", "Escolher", "a\xE7\xE3o cancelada!",
      "sem mem\xF3ria"}},
    {"Nederlands",
     "nl",
     {"Terug", "Stoppen", "Volgende", "Afbeelding", "Wachtwoord", "Annuleren", "OK", "Kiezen", "geannuleerd!",
      "geen geheugen"}},
    {"Svenska",
     "sv",
     {"Tillbaka", "Avsluta", "N\xE4sta", "Bild", "L\xF6senord", "Avbryt", "OK", "V\xE4lj", "avbrutet!",
      "slut p\xE5 minne"}},
    {"Dansk",
     "da",
     {"Tilbage", "Afslut", "N\xE6ste", "Billede", "Adgangskode", "Annuller", "OK", "V\xE6lg", "annulleret!",
      "ingen hukommelse"}},
};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::string HelpPage(std::size_t size) {
  std::string page =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\r\n"
      "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
      "<title>Ornivale\x99 Help</title>\r\n<link rel=\"stylesheet\" href=\"OrnivaleHelp.css\">\r\n</head>\r\n"
      "<body>\r\n<h1>Ornivale\x99 1.0 Help</h1>\r\n<ul class=\"contents\">\r\n";
  for (std::size_t i = 0; i < std::size(kChapters); ++i) {
    page += "<li><a href=\"#c" + std::to_string(i) + "\">" + kChapters[i].Title + "</a></li>\r\n";
  }
  page += "<li><a href=\"#devices\">Devices known to the emulator</a></li>\r\n</ul>\r\n";
  for (std::size_t i = 0; i < std::size(kChapters); ++i) {
    page += "<h2 id=\"c" + std::to_string(i) + "\">" + kChapters[i].Title + "</h2>\r\n<p>" +
            kChapters[i].Text + "</p>\r\n";
  }
  page +=
      "<h2 id=\"devices\">Devices known to the emulator</h2>\r\n<table>\r\n"
      "<tr><th>Maker</th><th>Model</th><th>Profile</th><th>Screen</th><th>Full screen</th></tr>\r\n";
  const std::string tail = "</table>\r\n</body>\r\n</html>\r\n";
  for (int n = 0;; ++n) {
    const std::string row = DeviceRow(n);
    if (page.size() + row.size() + tail.size() > size) break;
    page += row;
  }
  // The last bytes up to the size go before the table's end, where HTML ignores them.
  if (page.size() + tail.size() < size) page.append(size - page.size() - tail.size(), ' ');
  return page + tail;
}

std::string HelpStyleSheet() {
  return "body { font-family: Georgia, serif; font-size: 10pt; margin: 2em; color: #202020; }\r\n"
         "h1 { color: #cc0000; font-size: 18pt; }\r\n"
         "h2 { color: #cc0000; font-size: 13pt; border-bottom: 1px solid #cccccc; }\r\n"
         "ul.contents { list-style: none; padding-left: 0; }\r\n"
         "table { border-collapse: collapse; }\r\n"
         "th, td { border: 1px solid #cccccc; padding: 2px 8px; text-align: left; }\r\n"
         "th { background: #f5f5f5; }\r\n";
}

std::string ReadMe() {
  return "Ornivale\x99 1.0\r\n"
         "==============\r\n\r\n"
         "Ornivale turns documents, tables and pictures into Java ME applications for mobile phones.\r\n\r\n"
         "Folders\r\n"
         "  SampleContent      documents and pictures the sample projects were made from\r\n"
         "  SampleContent\\PNGs pictures for your own projects\r\n"
         "  Projects           the sample projects (.ov5)\r\n"
         "  Projects\\Compiled  the applications built from them (.jad and .jar)\r\n"
         "  Schemas            colour, string and icon schemes\r\n"
         "  Skins              skins for Ornivale's own windows\r\n\r\n"
         "Building applications needs a Java Development Kit and a wireless toolkit; Ornivale finds the "
         "ones\r\n"
         "installed on this computer. See OrnivaleHelp.htm for everything else.\r\n\r\n"
         "Velmorra srl\r\n";
}

std::string Licence() {
  return "ORNIVALE\x99 1.0 - LICENCE\r\n\r\n"
         "Copyright (c) 2009 Velmorra srl. All rights reserved.\r\n\r\n"
         "1. You may install and use Ornivale on as many computers as you own.\r\n"
         "2. Applications you build with Ornivale are yours: you may give them away or sell them without\r\n"
         "   paying anything to Velmorra srl.\r\n"
         "3. The sample projects, sample content, skins and schemes may be changed and used in your own\r\n"
         "   applications.\r\n"
         "4. You may not sell Ornivale itself or pass it off as your own work.\r\n"
         "5. Ornivale is provided as it is, without warranty of any kind. Velmorra srl is not liable for\r\n"
         "   any damage that comes from using it.\r\n";
}

std::vector<NamedFile> ColourSchemes() {
  std::vector<NamedFile> files;
  for (const SchemeColours& s : kColourSchemes) {
    files.push_back({"Colors_" + std::string(s.Name) + ".scm",
                     "[Scheme]\r\nID=COL_" + Upper(s.Name) + "\r\nKind=Colors\r\nName=" + s.Name +
                         "\r\n\r\n[Colors]\r\nBackground=" + s.Background + "\r\nText=" + s.Text +
                         "\r\nTitle=" + s.Title + "\r\nHighlight=" + s.Highlight + "\r\nMarquee=" + s.Title +
                         "\r\nBorder=" + s.Highlight + "\r\n"});
  }
  return files;
}

std::vector<NamedFile> StringSchemes() {
  std::vector<NamedFile> files;
  for (const Language& language : kLanguages) {
    std::string text = "[Scheme]\r\nID=STR_" + Upper(language.Name) +
                       "\r\nKind=Strings\r\nName=" + language.Name + "\r\nLanguage=" + language.Code +
                       "\r\n\r\n[Strings]\r\n";
    for (std::size_t i = 0; i < kStringKeys.size(); ++i) {
      text += std::string(kStringKeys[i]) + "=" + language.Texts[i] + "\r\n";
    }
    files.push_back({"Strings_" + std::string(language.Name) + ".scm", text});
  }
  return files;
}

std::string ProgramPlaceholder(const std::string& programName) {
  return "This file stands where the Windows build of the demo product tree puts " + programName +
         ".\r\nIt is not a program.\r\n";
}

}  // namespace ov::demotree
