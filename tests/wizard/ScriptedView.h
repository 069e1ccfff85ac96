#pragma once
// A view for tests: it keeps every control's state, records every call that changes it, answers
// message boxes and the folder dialog from a script, and lets a test act as the user would.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/emulated/EmulatedMachine.h"
#include "wizard/View.h"

namespace ov::wizard::testing {

const char* Name(Control control);

struct Box {
  std::string text;
  BoxKind kind;
  BoxButtons buttons;
};

struct Link {
  std::string caption;
  std::string url;
  std::string hint;
};

class ScriptedView : public View {
 public:
  // The design-time state: every control enabled and visible, texts empty except the file
  // label's placeholder and the memo's built-in licence, cboxStart checked, page 0 shown.
  static constexpr const char* kDesignFileLabel = ".../...";
  static constexpr const char* kDesignEula = "(licence agreement)";

  explicit ScriptedView(emulated::EmulatedMachine& machine);

  void Attach(ViewEvents& events) { events_ = &events; }

  // --- View ---
  platform::WindowHandle Handle() override;
  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetVisible(Control control, bool visible) override;
  void SetFontColor(Control label, std::uint32_t rgb) override;
  bool LoadGlyph(Control button, const std::string& bitmapName) override;
  void RemoveGlyph(Control button) override;
  void Repaint(Control control) override;
  void SetChecked(Control checkBox, bool checked) override;
  bool IsChecked(Control checkBox) override;
  void ShowPage(int index) override;
  void SetProgress(int position) override;
  void SetMemoText(Control memo, const std::string& text) override;
  void SetLink(Control link, const std::string& caption, const std::string& url,
               const std::string& hint) override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  int ShowMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) override;
  void Close() override;
  bool PostToOwnWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  // --- the script ---
  // Answers for the coming message boxes, in order; an OK-only box without an answer gets OK.
  void AnswerBoxes(std::initializer_list<int> answers) { answers_.insert(answers_.end(), answers); }
  // What the folder dialog returns next (nullopt: the user cancelled it).
  void ChooseFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  // SetText on the control raises, as a broken control would.
  void FailSetText(Control control) { failing_.insert(control); }
  // Posting to the own window fails from now on.
  void FailPosts() { postsFail_ = true; }

  // --- the user ---
  // A click on an enabled, visible button or check box; a click the user could not make fails the test.
  void Click(Control control);
  void Type(Control edit, const std::string& text) { SetText(edit, text); }
  // The window's close box: closes only when the wizard allows it.
  void PressCloseBox();

  // --- what the user sees ---
  const std::string& Text(Control control) { return state_[control].text; }
  bool Enabled(Control control) { return state_[control].enabled; }
  bool Visible(Control control) { return state_[control].visible; }
  bool Checked(Control control) { return state_[control].checked; }
  bool HasGlyph(Control control) { return state_[control].glyph; }
  std::optional<std::uint32_t> FontColor(Control control) { return state_[control].fontColor; }
  const std::vector<std::string>& TextHistory(Control control) { return state_[control].history; }
  int Repaints(Control control) { return state_[control].repaints; }
  const Link& LinkOf(Control control) { return links_[control]; }
  int Page() const { return page_; }
  const std::vector<int>& PagesShown() const { return pagesShown_; }
  const std::vector<int>& ProgressPositions() const { return progress_; }
  const std::vector<Box>& Boxes() const { return boxes_; }
  const std::vector<std::string>& DialogTitles() const { return dialogTitles_; }
  const std::vector<std::string>& Calls() const { return calls_; }
  bool Closed() const { return closed_; }
  std::size_t UnusedAnswers() const { return answers_.size(); }

 private:
  struct ControlState {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool glyph = false;
    std::optional<std::uint32_t> fontColor;
    int repaints = 0;
    std::vector<std::string> history;
  };

  void Record(const std::string& call) { calls_.push_back(call); }

  emulated::EmulatedMachine& machine_;
  ViewEvents* events_ = nullptr;
  platform::WindowHandle window_ = 0;
  std::map<Control, ControlState> state_;
  std::map<Control, Link> links_;
  int page_ = 0;
  std::vector<int> pagesShown_;
  std::vector<int> progress_;
  std::vector<Box> boxes_;
  std::vector<std::string> dialogTitles_;
  std::vector<std::string> calls_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> folders_;
  std::set<Control> failing_;
  bool postsFail_ = false;
  bool closed_ = false;
};

}  // namespace ov::wizard::testing
