#include "tools/demotree/Documents.h"

#include <cstdio>

#include "support/Errors.h"

namespace ov::demotree {

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string TwoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

std::string Clock(int minutes) { return TwoDigits(minutes / 60 % 24) + ":" + TwoDigits(minutes % 60); }

std::string Price(int cents) { return std::to_string(cents / 100) + "," + TwoDigits(cents % 100); }

// RTF escapes for the three characters it reserves; bytes above 127 become \'hh.
std::string RtfText(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x80) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\'%02x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string HtmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
  return out;
}

// A timetable: departures every `every` minutes from `first` with the running times between stops.
Rows Timetable(const std::vector<std::string>& stops, const std::vector<int>& running, int first, int every,
               int trains) {
  Rows rows;
  std::vector<std::string> head = {"Train"};
  head.insert(head.end(), stops.begin(), stops.end());
  rows.push_back(head);
  for (int t = 0; t < trains; ++t) {
    std::vector<std::string> row = {"R " + std::to_string(2201 + 2 * t)};
    int at = first + t * every + (t % 3 == 2 ? 7 : 0);
    row.push_back(Clock(at));
    for (std::size_t s = 0; s < running.size(); ++s) {
      at += running[s] + (t % 4 == 1 && s == 1 ? 2 : 0);
      row.push_back(Clock(at));
    }
    rows.push_back(row);
  }
  return rows;
}

// High and low waters for each day of 2009: the tide comes about 50 minutes later each day.
Rows Tides() {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  Rows rows = {{"Date", "High water", "Height (m)", "Low water", "Height (m)", "High water", "Height (m)"}};
  int minutes = 5 * 60 + 12;
  int day = 0;
  for (int m = 0; m < 12; ++m) {
    for (int d = 1; d <= kDays[m]; ++d, ++day) {
      const int spring = (day % 15 < 8) ? day % 15 : 15 - day % 15;  // 0 at neap, 7 at spring
      const int high = 62 + spring * 5;
      const int low = 18 - spring * 2;
      rows.push_back({TwoDigits(d) + " " + kMonths[m], Clock(minutes), "0," + TwoDigits(high),
                      Clock(minutes + 372), "0," + TwoDigits(low), Clock(minutes + 745),
                      "0," + TwoDigits(high - 3)});
      minutes = (minutes + 50) % (24 * 60);
    }
  }
  return rows;
}

Rows PriceList() {
  static const char* const kKinds[] = {"Table lamp",     "Floor lamp",   "Wall light",
                                       "Pendant",        "Desk lamp",    "Reading light",
                                       "Garden lantern", "Ceiling rose", "Spotlight"};
  static const char* const kFinishes[] = {"brass", "chrome", "matt black", "white", "copper", "oak"};
  Rows rows = {{"Code", "Article", "Finish", "Price (EUR)", "In stock"}};
  int code = 1040;
  for (int k = 0; k < 9; ++k) {
    for (int f = 0; f < 6; ++f) {
      const int cents = 1990 + k * 1250 + f * 430 + (k * f % 5) * 100;
      rows.push_back({"VL-" + std::to_string(code), kKinds[k], kFinishes[f], Price(cents),
                      (k + f) % 4 == 0 ? "on order" : "yes"});
      code += 7;
    }
  }
  return rows;
}

Rows BirdChecklist() {
  static const char* const kBirds[][3] = {
      {"Grey heron", "Ardea cinerea", "all year"},
      {"Little egret", "Egretta garzetta", "all year"},
      {"Common kingfisher", "Alcedo atthis", "all year"},
      {"Black-winged stilt", "Himantopus himantopus", "spring, summer"},
      {"Pied avocet", "Recurvirostra avosetta", "spring, autumn"},
      {"Greater flamingo", "Phoenicopterus roseus", "autumn, winter"},
      {"Eurasian spoonbill", "Platalea leucorodia", "spring"},
      {"Purple heron", "Ardea purpurea", "summer"},
      {"Marsh harrier", "Circus aeruginosus", "all year"},
      {"Osprey", "Pandion haliaetus", "spring, autumn"},
      {"Common tern", "Sterna hirundo", "summer"},
      {"Little tern", "Sternula albifrons", "summer"},
      {"Sandwich tern", "Thalasseus sandvicensis", "winter"},
      {"Mediterranean gull", "Ichthyaetus melanocephalus", "all year"},
      {"Slender-billed gull", "Chroicocephalus genei", "spring"},
      {"Kentish plover", "Charadrius alexandrinus", "all year"},
      {"Little ringed plover", "Charadrius dubius", "summer"},
      {"Common redshank", "Tringa totanus", "all year"},
      {"Wood sandpiper", "Tringa glareola", "spring, autumn"},
      {"Ruff", "Calidris pugnax", "spring"},
      {"Dunlin", "Calidris alpina", "winter"},
      {"Eurasian curlew", "Numenius arquata", "winter"},
      {"Bee-eater", "Merops apiaster", "summer"},
      {"Hoopoe", "Upupa epops", "summer"},
      {"Reed warbler", "Acrocephalus scirpaceus", "summer"},
      {"Cetti's warbler", "Cettia cetti", "all year"},
      {"Bearded reedling", "Panurus biarmicus", "all year"},
      {"Penduline tit", "Remiz pendulinus", "winter"},
      {"Great cormorant", "Phalacrocorax carbo", "winter"},
      {"Glossy ibis", "Plegadis falcinellus", "spring"},
  };
  Rows rows = {{"No.", "Species", "Latin name", "Season", "Seen"}};
  int n = 1;
  for (const auto& bird : kBirds) {
    rows.push_back({std::to_string(n), bird[0], bird[1], bird[2], n % 3 == 0 ? "" : "x"});
    ++n;
  }
  return rows;
}

Rows Exhibitors() {
  static const char* const kFirst[] = {"Alba", "Borea", "Corvo", "Delta", "Elica",
                                       "Faro", "Gallo", "Iride", "Lince", "Mare"};
  static const char* const kSecond[] = {"Systems", "Mobile", "Media", "Design", "Software"};
  static const char* const kHalls[] = {"A", "B", "C"};
  Rows rows = {{"Exhibitor", "Hall", "Stand", "Topic"}};
  static const char* const kTopics[] = {"handset software",  "mobile publishing", "city guides", "games",
                                        "tools for authors", "mobile marketing"};
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 5; ++j) {
      if ((i + j) % 2) continue;
      rows.push_back({std::string(kFirst[i]) + " " + kSecond[j], kHalls[(i + j) % 3],
                      std::to_string(100 + i * 12 + j), kTopics[(i * 5 + j) % 6]});
    }
  }
  return rows;
}

Document Text(std::string name, std::string title, DocFormat format, std::vector<std::string> paragraphs) {
  Document d;
  d.Name = std::move(name);
  d.Title = std::move(title);
  d.Format = format;
  d.Paragraphs = std::move(paragraphs);
  return d;
}

std::vector<Document> TextDocuments() {
  return {
      Text(
          "CityGuide_Sights.rtf", "Sights of Marvento", DocFormat::kRtf,
          {"Marvento grew round its harbour, and most of what is worth seeing lies within a short walk of "
           "the "
           "quay. Start early: the fishing boats come in between six and seven, and the morning light on the "
           "old warehouses is the best of the day.",
           "The harbour. The inner basin is still lined with the stone bollards of 1780. The lighthouse at "
           "the "
           "end of the north mole can be climbed on Saturdays from April to October (120 steps, no lift).",
           "The cathedral of San Lorenzo. A Romanesque church with a striped marble front, rebuilt after the "
           "earthquake of 1693. Inside, look for the painted ceiling of the choir and the model ship that "
           "sailors gave in thanks for a safe return.",
           "The covered market. Iron and glass, opened in 1898. Fish on the left, vegetables on the right, "
           "and "
           "at the back a bar that serves the best caff\xE8 in town from half past five.",
           "Via dei Cordai. The ropemakers' street climbs from the market to the castle in a long series of "
           "steps. Half-way up, the terrace of Santa Rita gives the classic view over the roofs and the bay.",
           "The castle. Only the keep and two towers remain, but the walk along the walls is free and open "
           "until sunset."}),
      Text(
          "CityGuide_Museums.rtf", "Museums", DocFormat::kRtf,
          {"Museo del Mare. Boats, nets, charts and the story of the coral fishers, in the former customs "
           "house. Open Tuesday to Sunday, 9:30 to 13:00 and 15:30 to 19:00. Tickets 5 euros, children free.",
           "Pinacoteca Civica. Paintings from the 15th to the 19th century, among them three views of the "
           "harbour by local painters. The collection of ship portraits on the second floor is unique.",
           "Casa Rovere. The house of the poet Anna Rovere, kept as she left it in 1961: her desk, her books "
           "and the garden where she wrote. Guided visits only, every hour on the hour.",
           "Tip: the Marvento Card (12 euros, valid three days) covers all three museums and the "
           "lighthouse."}),
      Text("CityGuide_Restaurants.txt", "Eating out", DocFormat::kText,
           {"Trattoria del Porto - fish of the day, simply grilled. Closed on Mondays. About 25 euros.",
            "Osteria Le Reti - a small room above the net lofts; try the seafood risotto. Booking advised.",
            "Pizzeria Faro - wood oven, tables on the mole, open until midnight in summer.",
            "Bar del Mercato - breakfast among the market traders: brioche, caff\xE8 and fresh orange juice.",
            "Gelateria Rovere - the lemon ice is made with lemons from the hills behind the town.",
            "Prices include service; a small tip for good service is welcome but not expected."}),
      Text("CityGuide_Transport.htm", "Getting around", DocFormat::kHtml,
           {"The old town is closed to cars. Park at the Stazione car park (2 euros a day) and walk: nothing "
            "in the centre is more than fifteen minutes away.",
            "Buses: line 1 runs from the station along the seafront to the beaches of Cala Verde every 20 "
            "minutes. Tickets from the tobacconists, 1,20 euros, valid 90 minutes.",
            "Trains: the coast line stops at Marvento every hour; see the timetable sample for times.",
            "Boats: from June to September a ferry crosses the bay to Punta Selva four times a day.",
            "Bicycles can be hired at the station and returned at the harbour."}),
      Text(
          "Recipes_Starters.txt", "Starters", DocFormat::kText,
          {"Marinated anchovies. Clean 500 g of fresh anchovies, open them flat and lay them in a dish. "
           "Cover "
           "with the juice of four lemons and leave in the cold for six hours. Drain, dress with olive oil, "
           "garlic and parsley.",
           "Bread and tomato. Rub slices of stale country bread with a cut tomato and a clove of garlic; add "
           "salt and a thread of oil.",
           "Chickpea fritters. Whisk 250 g of chickpea flour into 750 ml of salted water, cook stirring for "
           "forty minutes, spread thin, cool, cut into squares and fry until golden."}),
      Text(
          "Recipes_Mains.txt", "Main courses", DocFormat::kText,
          {"Seafood risotto. Soften an onion in oil, add 320 g of rice and toast it; pour in a glass of "
           "white "
           "wine, then fish stock ladle by ladle. After ten minutes add mussels, clams and prawns; after "
           "eighteen, take off the heat, stir in butter and parsley and rest for two minutes.",
           "Baked sea bream. Fill the fish with lemon slices and rosemary, lay it on sliced potatoes, season "
           "and bake at 200 degrees for 35 minutes.",
           "Pasta with sardines and fennel. Cook wild fennel in the pasta water; fry onion, sardines, "
           "raisins "
           "and pine nuts; toss with the pasta and toasted crumbs."}),
      Text("Recipes_Desserts.rtf", "Desserts", DocFormat::kRtf,
           {"Lemon tart. Line a tin with sweet pastry and bake it blind. Whisk three eggs with 150 g of "
            "sugar, "
            "the zest and juice of three lemons and 100 ml of cream; pour into the case and bake at 160 "
            "degrees for 25 minutes, until just set.",
            "Almond biscuits. Mix 250 g of ground almonds, 200 g of sugar and two egg whites; roll into "
            "balls, "
            "press an almond on each and bake for 12 minutes.",
            "Figs in wine. Simmer ripe figs in red wine with sugar, a cinnamon stick and orange peel."}),
      Text("Timetable_Notes.txt", "Notes on the timetables", DocFormat::kText,
           {"Times are valid from 14 June to 12 December 2009.",
            "Trains marked R stop at every station. Bicycles travel free on trains after 9:00.",
            "On Sundays and public holidays the first two trains of the day do not run.",
            "Tickets must be stamped before boarding, in the yellow machines on the platforms."}),
      Text("Phrases_Travel.htm", "Travelling", DocFormat::kHtml,
           {"Where is the station? - Dov'\xE8 la stazione?",
            "A ticket to Marvento, please. - Un biglietto per Marvento, per favore.",
            "Single or return? - Solo andata o andata e ritorno?",
            "When does the next train leave? - Quando parte il prossimo treno?",
            "Which platform? - Quale binario?", "Is this seat free? - \xC8 libero questo posto?",
            "I would like to hire a bicycle. - Vorrei noleggiare una bicicletta.",
            "How far is it? - Quanto dista?"}),
      Text("Phrases_Restaurant.htm", "At the restaurant", DocFormat::kHtml,
           {"A table for two, please. - Un tavolo per due, per favore.",
            "The menu, please. - Il men\xF9, per favore.", "What do you recommend? - Che cosa ci consiglia?",
            "I am vegetarian. - Sono vegetariano.",
            "A glass of house wine. - Un bicchiere di vino della casa.",
            "Still or sparkling water? - Acqua naturale o frizzante?",
            "The bill, please. - Il conto, per favore.", "It was delicious. - Era buonissimo."}),
      Text("Phrases_Emergency.txt", "Emergencies", DocFormat::kText,
           {"Help! - Aiuto!", "Call a doctor. - Chiami un medico.",
            "Where is the chemist's? - Dov'\xE8 la farmacia?",
            "I have lost my passport. - Ho perso il passaporto.",
            "Emergency number: 112 - Numero di emergenza: 112", "I don't feel well. - Non mi sento bene."}),
      Text("Catalogue_Products.rtf", "Velmorra Lights - the 2009 collection", DocFormat::kRtf,
           {"Every lamp of the collection is assembled by hand in our workshop, from parts made within fifty "
            "kilometres of it.",
            "The Faro table lamp: a turned brass base and a linen shade, 48 cm high. Takes bulbs up to 60 W.",
            "The Rete pendant: a woven shade of copper wire that throws a soft pattern on the ceiling.",
            "The Molo floor lamp: a steel arc that reaches 1,60 m over a sofa or a reading chair.",
            "All finishes are shown in the price list; lamps on order are delivered within four weeks."}),
      Text("Catalogue_Terms.txt", "Terms of sale", DocFormat::kText,
           {"Prices are in euros and include VAT. Delivery within Italy is free for orders over 150 euros.",
            "Goods may be returned within 14 days of delivery, unused and in their packaging.",
            "Every lamp carries a two-year guarantee; shades and bulbs are excluded."}),
      Text("Poems_Spring.txt", "Spring", DocFormat::kText,
           {"The almond tree forgot the frost / and wrote in white across the hill;",
            "the wind came up to read the page / and carried half the letters off.",
            "By noon the street was full of snow / that did not melt, and smelled of honey."}),
      Text("Poems_Sea.txt", "The sea at Marvento", DocFormat::kText,
           {"Each morning the sea brings back / the things we lost the day before:",
            "a sandal, a bottle with no letter, / a coloured thread of someone's net.",
            "It keeps the rest. It keeps the names / we shouted at it as children."}),
      Text("Poems_Night.rtf", "Night ferry", DocFormat::kRtf,
           {"The ferry leaves at ten. Its lights / go out across the bay like a sentence",
            "that nobody finishes. On the far side / a single window answers, and is still."}),
      Text("Birds_Notes.txt", "Field notes, Saline di Marvento", DocFormat::kText,
           {"12 April. Forty-two flamingos on the east pan, feeding in a tight group. Three spoonbills flew "
            "over towards the river mouth at 7:40.",
            "19 April. First black-winged stilts on the nesting island. A marsh harrier quartered the reeds "
            "for twenty minutes.",
            "3 May. Bee-eaters are back in the sand quarry: at least eleven pairs at the old nest holes.",
            "17 May. Kingfisher at the sluice gate, fishing from the rusty railing. Little terns courting on "
            "the shingle bank; keep to the path, the colony is fenced."}),
      Text("Birds_Calls.htm", "Bird calls", DocFormat::kHtml,
           {"Kingfisher: a shrill, whistled tee-ee, often given in flight low over the water.",
            "Black-winged stilt: a sharp, yapping kek-kek-kek when anyone comes near the nests.",
            "Bee-eater: a liquid, rolling prruip, heard high overhead long before the birds are seen.",
            "Cetti's warbler: a sudden explosive burst of song from deep in a bush, then silence."}),
      Text("TradeFair_Programme.htm", "Programme", DocFormat::kHtml,
           {"Tuesday 10:00 - Opening of the halls. 11:30 - Mobile publishing today (Hall A, room 2).",
            "Tuesday 15:00 - From document to phone in ten minutes: a live demonstration of Ornivale\x99.",
            "Wednesday 10:30 - Round table: city guides on the phone. 14:00 - Java ME for authors.",
            "Thursday 12:00 - Award ceremony for the best mobile guide. 17:00 - Closing of the halls."}),
      Text("TradeFair_Welcome.txt", "Welcome to Mobile Media Fair 2009", DocFormat::kText,
           {"This guide on your phone lists every exhibitor, the programme and a map of the halls.",
            "Visit us at stand A-112 for a demonstration of Ornivale\x99, and take a sample guide home on "
            "your "
            "own phone.",
            "Wireless access is free in all halls; the network name is MMF2009."}),
      Text("Newsletter_Archive.txt", "Newsletter archive", DocFormat::kText,
           {"June 2009: Ornivale\x99 1.0 is out. Sample projects, skins and schemes are installed with it.",
            "May 2009: the public beta closes; thank you to the 412 testers who sent reports.",
            "April 2009: preview of the phone emulator integration."}),
      Text("Glossary.txt", "Glossary", DocFormat::kText,
           {"JAD - the application descriptor: a small text file that tells the phone what a MIDlet is "
            "called, "
            "who made it and where its JAR lies.",
            "JAR - the Java archive that holds the MIDlet's code and resources.",
            "MIDlet - an application for the Mobile Information Device Profile (MIDP).",
            "MIDP 1.0 / 2.0 - the two profiles Ornivale builds for; 2.0 phones can show pages full screen.",
            "Skin - the look of the product's own windows. Scheme - the colours, texts or icons of the "
            "applications it builds."}),
      Text("ReadMe_Samples.txt", "About the sample content", DocFormat::kText,
           {"The documents and pictures in this folder are the sources of the sample projects.",
            "Open a sample in Ornivale\x99 and use Refresh to convert a source again after you have changed "
            "it.",
            "All names, places and prices in the samples are invented."}),
  };
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

}  // namespace

std::string Document::PlainText() const {
  if (Format != DocFormat::kTable) {
    std::vector<std::string> lines = {Title, ""};
    for (const std::string& paragraph : Paragraphs) {
      lines.push_back(paragraph);
      lines.push_back("");
    }
    lines.pop_back();
    return Lines(lines);
  }
  std::vector<std::string> lines;
  for (const auto& row : Rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) line += (i ? std::string(1, Separator) : "") + row[i];
    lines.push_back(line);
  }
  return Lines(lines);
}

std::string Document::FileBytes() const {
  switch (Format) {
    case DocFormat::kText:
    case DocFormat::kTable:
      return PlainText();
    case DocFormat::kRtf: {
      std::string out =
          "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Georgia;}{\\f1\\fswiss Arial;}}\r\n"
          "\\viewkind4\\uc1\\pard\\sa200\\f1\\fs32\\b " +
          RtfText(Title) + "\\b0\\par\r\n";
      for (const std::string& paragraph : Paragraphs)
        out += "\\pard\\sa120\\f0\\fs22 " + RtfText(paragraph) + "\\par\r\n";
      return out + "}\r\n";
    }
    case DocFormat::kHtml: {
      std::string out =
          "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\r\n"
          "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
          "charset=windows-1252\">\r\n"
          "<title>" +
          HtmlText(Title) + "</title>\r\n</head>\r\n<body>\r\n<h1>" + HtmlText(Title) + "</h1>\r\n";
      for (const std::string& paragraph : Paragraphs) out += "<p>" + HtmlText(paragraph) + "</p>\r\n";
      return out + "</body>\r\n</html>\r\n";
    }
  }
  return {};
}

std::vector<Document> SampleDocuments() {
  std::vector<Document> documents = TextDocuments();
  const auto table = [&](std::string name, std::string title, Rows rows, char separator) {
    Document d;
    d.Name = std::move(name);
    d.Title = std::move(title);
    d.Format = DocFormat::kTable;
    d.Rows = std::move(rows);
    d.Separator = separator;
    documents.push_back(std::move(d));
  };
  table("Recipes_Shopping.csv", "Shopping list",
        {{"Item", "Quantity", "Shop"},
         {"Arborio rice", "320 g", "grocer"},
         {"Mussels", "500 g", "market"},
         {"Clams", "500 g", "market"},
         {"Prawns", "8", "market"},
         {"Lemons", "5", "market"},
         {"Eggs", "3", "grocer"},
         {"Cream", "100 ml", "grocer"},
         {"Ground almonds", "250 g", "grocer"},
         {"Chickpea flour", "250 g", "grocer"},
         {"White wine", "1 bottle", "wine shop"}},
        ';');
  table("Timetable_Coast.csv", "Coast line",
        Timetable({"Porto Selva", "Cala Verde", "Marvento", "San Remigio", "Capo Alto"}, {9, 12, 14, 11},
                  5 * 60 + 40, 60, 18),
        ';');
  table("Timetable_Valley.csv", "Valley line",
        Timetable({"Marvento", "Ponte Vecchio", "Borgo Alto", "Le Fonti", "Valdera", "Monte Ruja"},
                  {16, 9, 13, 21, 17}, 6 * 60 + 5, 90, 12),
        ';');
  table("Catalogue_Prices.csv", "Price list", PriceList(), ';');
  table("Birds_Checklist.csv", "Checklist", BirdChecklist(), ',');
  table("TradeFair_Exhibitors.csv", "Exhibitors", Exhibitors(), ';');
  table("Tides_2009.csv", "Tides at Marvento, 2009", Tides(), ';');
  return documents;
}

const Document& DocumentNamed(const std::vector<Document>& documents, const std::string& name) {
  for (const Document& document : documents) {
    if (document.Name == name) return document;
  }
  throw OvError("no sample document " + name);
}

}  // namespace ov::demotree
