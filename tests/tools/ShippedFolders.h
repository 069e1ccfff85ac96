#pragma once
// The folders of the shipped package in the order an install into a new folder creates them.
#include <string>
#include <vector>

namespace ov::testing_tools {

inline const std::vector<std::string> kShippedFolderOrder = {"\\",
                                                             "\\SampleContent",
                                                             "\\Skins",
                                                             "\\Schemas",
                                                             "\\Projects",
                                                             "\\SampleContent\\PNGs",
                                                             "\\Projects\\Compiled\\CityGuide",
                                                             "\\Projects\\Compiled\\Recipes",
                                                             "\\Projects\\Compiled\\TrainTimes",
                                                             "\\Projects\\Compiled\\PhraseBook",
                                                             "\\Projects\\Compiled\\LightsCatalogue",
                                                             "\\Projects\\Compiled\\Poems",
                                                             "\\Projects\\Compiled\\BirdWatch",
                                                             "\\Projects\\Compiled\\TradeFair",
                                                             "\\Projects\\Compiled\\Newsletter"};

}  // namespace ov::testing_tools
