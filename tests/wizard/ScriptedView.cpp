#include "ScriptedView.h"

#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>

namespace ov::wizard::testing {

const char* Name(Control control) {
  // In the order of the enumeration.
  static constexpr const char* kNames[] = {
      "frmInst",    "btnNext",   "btnBack",   "btnCancel", "btnBrowse", "lblWelcome", "lblIntro",
      "lblOPTIONS", "lblFolder", "edtTarget", "cbEULA",    "lblWait",   "gbProgress", "pbarInstall",
      "lblFile",    "lblFinal",  "gbNOTE",    "lblNote",   "lblJDKUrl", "lblWTKUrl",  "cboxStart",
      "lblCopy",    "lblURL",    "lblMCC",    "mmEULA",
  };
  static_assert(std::size(kNames) == static_cast<std::size_t>(Control::mmEULA) + 1);
  return kNames[static_cast<std::size_t>(control)];
}

ScriptedView::ScriptedView(emulated::EmulatedMachine& machine) : machine_(machine) {
  state_[Control::lblFile].text = kDesignFileLabel;
  state_[Control::mmEULA].text = kDesignEula;
  state_[Control::cboxStart].checked = true;
}

platform::WindowHandle ScriptedView::Handle() {
  if (window_ == 0) {
    window_ = machine_.CreateWindow(
        "TfrmInst",
        [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
          Record("Message(" + std::to_string(message) + ", " + std::to_string(wParam) + ", " +
                 std::to_string(lParam) + ")");
          if (events_ != nullptr) events_->HandleMessage(message, wParam, lParam);
          return 0;
        });
  }
  return window_;
}

void ScriptedView::SetText(Control control, const std::string& text) {
  Record(std::string("SetText(") + Name(control) + ", " + text + ")");
  if (failing_.count(control) != 0) throw std::runtime_error("control is broken");
  ControlState& state = state_[control];
  state.text = text;
  state.history.push_back(text);
  if (control == Control::edtTarget && events_ != nullptr) events_->edtTargetChange();
}

std::string ScriptedView::GetText(Control control) { return state_[control].text; }

void ScriptedView::SetEnabled(Control control, bool enabled) {
  Record(std::string("SetEnabled(") + Name(control) + ", " + (enabled ? "true" : "false") + ")");
  state_[control].enabled = enabled;
}

void ScriptedView::SetVisible(Control control, bool visible) {
  Record(std::string("SetVisible(") + Name(control) + ", " + (visible ? "true" : "false") + ")");
  state_[control].visible = visible;
}

void ScriptedView::SetFontColor(Control label, std::uint32_t rgb) {
  Record(std::string("SetFontColor(") + Name(label) + ", " + std::to_string(rgb) + ")");
  state_[label].fontColor = rgb;
}

bool ScriptedView::LoadGlyph(Control button, const std::string& bitmapName) {
  Record(std::string("LoadGlyph(") + Name(button) + ", " + bitmapName + ")");
  const bool found =
      machine_.machine().resources.Find(bitmapName, platform::ResourceType::Bitmap).has_value();
  if (found) state_[button].glyph = true;
  return found;
}

void ScriptedView::RemoveGlyph(Control button) {
  Record(std::string("RemoveGlyph(") + Name(button) + ")");
  state_[button].glyph = false;
}

void ScriptedView::Repaint(Control control) {
  Record(std::string("Repaint(") + Name(control) + ")");
  ++state_[control].repaints;
}

void ScriptedView::SetChecked(Control checkBox, bool checked) {
  Record(std::string("SetChecked(") + Name(checkBox) + ", " + (checked ? "true" : "false") + ")");
  state_[checkBox].checked = checked;
  if (checkBox == Control::cbEULA && events_ != nullptr) events_->cbEULAClick();
}

bool ScriptedView::IsChecked(Control checkBox) { return state_[checkBox].checked; }

void ScriptedView::ShowPage(int index) {
  Record("ShowPage(" + std::to_string(index) + ")");
  page_ = index;
  pagesShown_.push_back(index);
}

void ScriptedView::SetProgress(int position) {
  Record("SetProgress(" + std::to_string(position) + ")");
  progress_.push_back(position);
}

void ScriptedView::SetMemoText(Control memo, const std::string& text) {
  Record(std::string("SetMemoText(") + Name(memo) + ")");
  state_[memo].text = text;
}

void ScriptedView::SetLink(Control link, const std::string& caption, const std::string& url,
                           const std::string& hint) {
  Record(std::string("SetLink(") + Name(link) + ", " + caption + ", " + url + ", " + hint + ")");
  state_[link].text = caption;
  links_[link] = {caption, url, hint};
}

std::optional<std::string> ScriptedView::BrowseForFolder(const std::string& title) {
  Record("BrowseForFolder(" + title + ")");
  dialogTitles_.push_back(title);
  if (folders_.empty()) {
    ADD_FAILURE() << "the folder dialog opened without a scripted answer";
    return std::nullopt;
  }
  std::optional<std::string> chosen = folders_.front();
  folders_.pop_front();
  return chosen;
}

int ScriptedView::ShowMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) {
  Record("ShowMessageBox(" + text + ")");
  boxes_.push_back({text, kind, buttons});
  if (answers_.empty()) {
    if (buttons == BoxButtons::Ok) return kIdOk;
    ADD_FAILURE() << "a question without a scripted answer: " << text;
    return kIdCancel;
  }
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedView::Close() {
  Record("Close()");
  if (events_ == nullptr || events_->FormCloseQuery()) closed_ = true;
}

bool ScriptedView::PostToOwnWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  Record("PostToOwnWindow(" + std::to_string(message) + ", " + std::to_string(wParam) + ", " +
         std::to_string(lParam) + ")");
  if (postsFail_) return false;
  return machine_.machine().messages.Post(Handle(), message, wParam, lParam);
}

void ScriptedView::Click(Control control) {
  ControlState& state = state_[control];
  if (closed_ || !state.enabled || !state.visible) {
    ADD_FAILURE() << "the user cannot click " << Name(control) << (closed_ ? " (window closed)" : "")
                  << (state.enabled ? "" : " (disabled)") << (state.visible ? "" : " (hidden)");
    return;
  }
  switch (control) {
    case Control::btnNext:
    case Control::btnBack:
      events_->btnNavClick(control);
      break;
    case Control::btnCancel:
      events_->btnCancelClick();
      break;
    case Control::btnBrowse:
      events_->btnBrowseClick();
      break;
    case Control::cbEULA:
    case Control::cboxStart:
      SetChecked(control, !state.checked);
      break;
    default:
      ADD_FAILURE() << Name(control) << " is not clickable";
  }
}

void ScriptedView::PressCloseBox() {
  if (events_->FormCloseQuery()) closed_ = true;
}

}  // namespace ov::wizard::testing
