#include "ui/win32/Layout.h"

namespace ov::ui {
namespace {

using wizard::Control;

constexpr ControlLayout kLayout[] = {
    // 1 welcome
    {Control::lblWelcome, Kind::WrapLabel, 0, 24, 70, 532, 44, FontKind::Heading, Area::Page, kBlack},
    {Control::lblIntro, Kind::WrapLabel, 0, 24, 124, 532, 64, FontKind::Normal, Area::Page, kBlack},
    {Control::lblOPTIONS, Kind::Label, 0, 24, 310, 532, 16, FontKind::Normal, Area::Page, kBlack},
    // 2 licence
    {Control::mmEULA, Kind::Memo, 1, 16, 58, 548, 248, FontKind::Normal, Area::Memo, kNavy},
    {Control::cbEULA, Kind::CheckBox, 1, 16, 314, 400, 20, FontKind::Normal, Area::Page, kBlack},
    // 3 folder
    {Control::lblFolder, Kind::Label, 2, 24, 86, 432, 16, FontKind::Normal, Area::Page, kBlack},
    {Control::edtTarget, Kind::Edit, 2, 24, 106, 436, 22, FontKind::Normal, Area::Page, kNavy},
    {Control::btnBrowse, Kind::Button, 2, 468, 105, 88, 24, FontKind::Normal, Area::Page, kBlack},
    // 4 progress
    {Control::lblWait, Kind::WrapLabel, 3, 24, 70, 532, 32, FontKind::Normal, Area::Page, kBlack},
    {Control::gbProgress, Kind::GroupBox, 3, 16, 240, 548, 94, FontKind::Normal, Area::Page, kBlack},
    {Control::pbarInstall, Kind::Progress, 3, 24, 266, 532, 20, FontKind::Normal, Area::Page, kBlack},
    {Control::lblFile, Kind::PathLabel, 3, 24, 298, 532, 16, FontKind::Normal, Area::Page, kNavy},
    // 5 finish
    {Control::lblFinal, Kind::WrapLabel, 4, 24, 70, 532, 44, FontKind::Heading, Area::Page, kBlack},
    {Control::cboxStart, Kind::CheckBox, 4, 24, 126, 300, 20, FontKind::Normal, Area::Page, kBlack},
    {Control::gbNOTE, Kind::GroupBox, 4, 16, 214, 548, 120, FontKind::Normal, Area::Note, kBlack},
    {Control::lblNote, Kind::WrapLabel, 4, 28, 236, 524, 30, FontKind::Normal, Area::Note, kBlack},
    {Control::lblJDKUrl, Kind::Link, 4, 40, 276, 480, 16, FontKind::Link, Area::Note, kLinkColor},
    {Control::lblWTKUrl, Kind::Link, 4, 40, 300, 480, 16, FontKind::Link, Area::Note, kLinkColor},
    // banner
    {Control::lblMCC, Kind::TaglineLabel, kAllPages, 214, 15, 356, 20, FontKind::Tagline, Area::Banner,
     kWhite},
    // button bar
    {Control::lblCopy, Kind::Label, kAllPages, 10, kButtonBarTop + 7, 290, 14, FontKind::Normal,
     Area::ButtonBar, kBlack},
    {Control::lblURL, Kind::Link, kAllPages, 10, kButtonBarTop + 22, 290, 14, FontKind::Link, Area::ButtonBar,
     kLinkColor},
    {Control::btnBack, Kind::Button, kAllPages, 310, kButtonBarTop + 8, 82, 25, FontKind::Normal,
     Area::ButtonBar, kBlack},
    {Control::btnNext, Kind::DefaultButton, kAllPages, 394, kButtonBarTop + 8, 82, 25, FontKind::Normal,
     Area::ButtonBar, kBlack},
    {Control::btnCancel, Kind::Button, kAllPages, 488, kButtonBarTop + 8, 82, 25, FontKind::Normal,
     Area::ButtonBar, kBlack},
};

}  // namespace

std::span<const ControlLayout> WizardLayout() { return kLayout; }

}  // namespace ov::ui
