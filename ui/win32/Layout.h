#pragma once
// Where each of the wizard's controls sits, what kind of control it is and how it is drawn,
// in pixels at 96 dots per inch on a client area of 580 x 387.
#include <cstdint>
#include <span>

#include "wizard/View.h"

namespace ov::ui {

constexpr int kClientWidth = 580;
constexpr int kClientHeight = 387;
constexpr int kBannerHeight = 48;
constexpr int kButtonBarHeight = 41;
constexpr int kButtonBarTop = kClientHeight - kButtonBarHeight;

// The banner's logo bitmap, from the left edge.
constexpr int kLogoX = 6;

constexpr std::uint32_t kBannerColor = wizard::Rgb(204, 0, 0);
constexpr std::uint32_t kPageColor = wizard::Rgb(255, 255, 255);
constexpr std::uint32_t kNoteColor = wizard::Rgb(245, 245, 245);
constexpr std::uint32_t kMemoColor = wizard::Rgb(236, 236, 236);
constexpr std::uint32_t kBlack = wizard::Rgb(0, 0, 0);
constexpr std::uint32_t kWhite = wizard::Rgb(255, 255, 255);
constexpr std::uint32_t kNavy = wizard::Rgb(0, 0, 128);
constexpr std::uint32_t kLinkColor = wizard::Rgb(0, 0, 204);

enum class Kind {
  Label,      // one line
  WrapLabel,  // word-wrapped
  PathLabel,  // one line, long paths shortened in the middle
  TaglineLabel,
  Link,
  Button,
  DefaultButton,
  CheckBox,
  GroupBox,
  Edit,
  Memo,
  Progress,
};

// The background a control sits on.
enum class Area { Banner, Page, ButtonBar, Note, Memo };

enum class FontKind { Normal, Heading, Tagline, Link };

// Shown on every page (the banner and the button bar).
constexpr int kAllPages = -1;

struct ControlLayout {
  wizard::Control control;
  Kind kind;
  int page;
  int x, y, width, height;
  FontKind font;
  Area area;
  std::uint32_t textColor;
};

// Every control, in creation order, which is also the Tab order.
std::span<const ControlLayout> WizardLayout();

}  // namespace ov::ui
