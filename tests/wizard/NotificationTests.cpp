// The job's notifications fed straight to the wizard, with job figures a real package would
// take too long to produce.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WizardFixture.h"

namespace ov::wizard::testing {
namespace {

using engine::WM_OV_EXTRACT_ERROR;
using engine::WM_OV_FILE_COPIED;
using engine::WM_OV_JOB_ENDED;
using engine::WM_OV_JOB_FREED;
using engine::WM_OV_SAMPLE_PROGRESS;
using engine::WM_OV_STATE;

class NotificationTest : public WizardFixture {
 protected:
  // On the progress page with a job that has already run to its end; its messages stay queued.
  void StartFinishedJob() {
    Start();
    StartInstallInto(kDefaultTarget);
    WaitForJobEnd();
  }
  bool Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return frm().HandleMessage(message, wParam, lParam);
  }
};

TEST_F(NotificationTest, StateShowsItsPhaseCaptionAndEmptiesTheFileLabel) {
  const struct {
    std::int32_t code;
    const char* caption;  // null: the caption stays
  } cases[] = {
      {100, "  Extracting package... "},
      {150, "  Creating folders... "},
      {200, "  Copying files... "},
      {300, "  Updating registry entries... "},
      {350, "  Copying sample projects... "},
      {400, "  Creating shortcuts... "},
      {500, nullptr},
      {600, nullptr},
      {650, nullptr},
      {799, nullptr},
      {42, nullptr},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    view().SetText(Control::gbProgress, "before");
    view().SetText(Control::lblFile, "C:\\some\\file");
    EXPECT_TRUE(Send(WM_OV_STATE, 0, c.code));
    EXPECT_EQ(frm().StateCode(), c.code);
    EXPECT_EQ(view().Text(Control::gbProgress), c.caption ? c.caption : "before");
    EXPECT_EQ(view().Text(Control::lblFile), c.caption ? "" : "C:\\some\\file");
  }
}

TEST_F(NotificationTest, FileProgressIsBytesWrittenOverAHundredthOfThePackage) {
  StartFinishedJob();
  frm().InstallJob()->PackSize = 25776278;
  Send(WM_OV_STATE, 25776278, 150);
  ASSERT_EQ(frm().TotalBytes(), 25776278);

  const struct {
    std::uintptr_t written;
    std::optional<int> position;  // nullopt: the bar does not move
  } cases[] = {{12888100, 50}, {100, std::nullopt}, {101, 0}, {257762, 1}, {25776278, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    const std::size_t before = view().ProgressPositions().size();
    const int repaints = view().Repaints(Control::pbarInstall);
    Send(WM_OV_FILE_COPIED, c.written, 0);
    if (c.position) {
      ASSERT_EQ(view().ProgressPositions().size(), before + 1);
      EXPECT_EQ(view().ProgressPositions().back(), *c.position);
      EXPECT_EQ(view().Repaints(Control::pbarInstall), repaints + 1);
    } else {
      EXPECT_EQ(view().ProgressPositions().size(), before);
    }
  }
}

TEST_F(NotificationTest, FileLabelNamesTheEntryOrNothingForAnIndexOutsideTheCatalogue) {
  StartFinishedJob();
  const auto& items = frm().InstallJob()->Items;
  ASSERT_FALSE(items.empty());
  const std::intptr_t last = static_cast<std::intptr_t>(items.size()) - 1;
  const struct {
    std::intptr_t index;
    std::string label;
  } cases[] = {
      {0, std::string(kDefaultTarget) + "\\ornivale.exe"},
      {last, items.back()->Name},
      {last + 1, ""},
      {-1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    view().SetText(Control::lblFile, "stale");
    Send(WM_OV_FILE_COPIED, 5000, c.index);
    EXPECT_EQ(view().Text(Control::lblFile), c.label);
  }
}

TEST_F(NotificationTest, WithoutAJobThePackageSizeIsUnknownAndTheBarStays) {
  Start();
  Send(WM_OV_STATE, 25776278, 150);
  EXPECT_EQ(frm().TotalBytes(), 0);
  view().SetText(Control::lblFile, "stale");
  Send(WM_OV_FILE_COPIED, 12888100, 0);
  EXPECT_TRUE(view().ProgressPositions().empty());
  EXPECT_EQ(view().Text(Control::lblFile), "");
  Send(WM_OV_SAMPLE_PROGRESS, 3, 0);
  EXPECT_EQ(view().ProgressPositions(), std::vector<int>{33});
  EXPECT_EQ(view().Text(Control::lblFile), "");
}

TEST_F(NotificationTest, SampleProgressSteps) {
  StartFinishedJob();
  const struct {
    std::uintptr_t count;
    std::vector<int> positions;
  } cases[] = {
      {9, {11, 22, 33, 44, 55, 66, 77, 88, 99}},
      {3, {33, 66, 99}},
      {150, std::vector<int>(150, 0)},
      {0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const std::size_t before = view().ProgressPositions().size();
    for (std::uintptr_t i = 0; i < (c.count == 0 ? 1 : c.count); ++i) {
      view().SetText(Control::lblFile, "stale");
      Send(WM_OV_SAMPLE_PROGRESS, c.count, static_cast<std::intptr_t>(i));
      EXPECT_EQ(view().Text(Control::lblFile), frm().InstallJob()->CurrentSample());
    }
    const std::vector<int> shown(view().ProgressPositions().begin() + static_cast<std::ptrdiff_t>(before),
                                 view().ProgressPositions().end());
    EXPECT_EQ(shown, c.positions);
  }
}

TEST_F(NotificationTest, ExtractErrorShowsTheCode) {
  Start();
  Send(WM_OV_EXTRACT_ERROR, static_cast<std::uintptr_t>(static_cast<std::intptr_t>(-238)), 4);
  EXPECT_EQ(frm().StateCode(), state::kExtractError);
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, "An error occurred during installation process. Error Code = -238");
}

TEST_F(NotificationTest, JobEndedWithAnUnknownModeCountsAsCancelledAndStaysOnThePage) {
  Start();
  view().Click(Control::btnNext);
  Send(WM_OV_JOB_ENDED, 0, 0);
  EXPECT_EQ(frm().StateCode(), state::kClosing);
  EXPECT_EQ(view().Text(Control::lblFinal), "User cancelled installation.");
  EXPECT_EQ(view().Page(), 1);
}

TEST_F(NotificationTest, OnlyTheWizardsMessagesAreHandled) {
  Start();
  EXPECT_TRUE(Send(WM_OV_JOB_FREED, 0, 0));
  EXPECT_EQ(frm().StateCode(), state::kBeforeInstall);
  for (std::uint32_t unused : {5029u, 5032u, 5036u, 5039u, 5041u}) EXPECT_FALSE(Send(unused, 0, 0)) << unused;
}

TEST_F(NotificationTest, BrokenControlDoesNotStopTheHandler) {
  Start();
  view().FailSetText(Control::gbProgress);
  view().SetText(Control::lblFile, "stale");
  Send(WM_OV_STATE, 0, 200);
  EXPECT_EQ(frm().StateCode(), 200);
  EXPECT_EQ(view().Text(Control::lblFile), "");
}

}  // namespace
}  // namespace ov::wizard::testing
