// ovdriver: acts on the running setup wizard as a person would, from outside its process.
// It finds the wizard by its window class, its controls by their captions and message boxes by
// their text. Commands run in order; the first that fails ends the run with exit code 1.
//
//   wait-wizard [ms]         the wizard window is shown
//   click CAPTION            clicks the visible, enabled control with that caption
//   type TEXT                replaces the text of the wizard's edit box
//   wait-text CAPTION [ms]   a visible control shows that caption
//   box TEXT BUTTON [ms]     a message box of the setup shows TEXT; clicks its BUTTON
//   no-box [ms]              no message box of the setup opens within that time
//   dump                     lists the wizard's controls (class, id, shown, enabled, rectangle, caption)
//   key KEYS                 types keys into the focused window: "tab", "shift+tab", "enter", "escape",
//                            "space", "alt+n", or a single letter or digit
//   hover CAPTION            moves the mouse pointer onto the control with that caption
//   taskbar                  prints the titles the task bar shows for the setup's windows
//   focus                    prints the caption of the control that has the keyboard focus
//   close                    asks the wizard window to close (as its close box does)
//   wait-gone [ms]           the wizard window is gone
//   sleep MS
//   box-text [ms]            prints the text of the setup's message box (waits for one)
//   where CAPTION            prints the screen rectangle (left top width height) of the shown control
//                            with that caption
//   no-dialog [ms]           no dialog box of any program opens within that time
//   wait-window CLASS [ms]   a shown top-level window of that class exists (the product's, say)
//   window-text CLASS [ms]   prints the texts of that window's controls, one after another
//   close-window CLASS       asks the top-level window of that class to close
//   count CLASS              prints how many top-level windows of that class exist
//   checked CAPTION          prints 1 when the shown check box with that caption is checked, else 0
// A CAPTION or TEXT that starts with "~" matches any text that contains the rest.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWizardClass[] = L"TfrmInst";
constexpr DWORD kDefaultWait = 10000;
constexpr DWORD kPoll = 50;

std::wstring TextOf(HWND window) {
  // WM_GETTEXT, not GetWindowText: it reads controls of another process too.
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(copied < length ? copied : length);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

bool Matches(const std::wstring& text, const std::wstring& pattern) {
  if (!pattern.empty() && pattern[0] == L'~') return text.find(pattern.substr(1)) != std::wstring::npos;
  return text == pattern;
}

std::string Narrow(const std::wstring& text) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(length > 0 ? length - 1 : 0, '\0');
  if (length > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
  return out;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND ShownTopLevel(const std::wstring& className) {
  HWND window = ::FindWindowW(className.c_str(), nullptr);
  return window && ::IsWindowVisible(window) ? window : nullptr;
}

HWND Wizard() {
  HWND wizard = ::FindWindowW(kWizardClass, nullptr);
  return wizard && ::IsWindowVisible(wizard) ? wizard : nullptr;
}

// Polls until the probe gives a window or the time is up.
HWND WaitFor(DWORD ms, const std::function<HWND()>& probe) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND found = probe()) return found;
    if (::GetTickCount() - start >= ms) return nullptr;
    ::Sleep(kPoll);
  }
}

HWND ControlWithCaption(const std::wstring& caption) {
  HWND wizard = Wizard();
  if (!wizard) return nullptr;
  for (HWND child : Children(wizard)) {
    if (::IsWindowVisible(child) && ::IsWindowEnabled(child) && Matches(TextOf(child), caption)) return child;
  }
  return nullptr;
}

// A message box (or any dialog) of the setup's process.
std::vector<HWND> SetupDialogs() {
  std::vector<HWND> dialogs;
  HWND wizard = ::FindWindowW(kWizardClass, nullptr);
  if (!wizard) return dialogs;
  DWORD setup = 0;
  ::GetWindowThreadProcessId(wizard, &setup);
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == setup && ::IsWindowVisible(window)) dialogs.push_back(window);
  }
  return dialogs;
}

// Every shown dialog box, whichever program owns it.
std::vector<HWND> AllDialogs() {
  std::vector<HWND> dialogs;
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
    if (::IsWindowVisible(window)) dialogs.push_back(window);
  }
  return dialogs;
}

// The message of a box: its static texts but the icon's (which has none).
std::wstring MessageOf(HWND dialog) {
  std::wstring text;
  for (HWND child : Children(dialog)) {
    if (ClassOf(child) != L"Static") continue;
    const std::wstring line = TextOf(child);
    if (line.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += line;
  }
  return text;
}

std::wstring DialogText(HWND dialog) {
  std::wstring text;
  for (HWND child : Children(dialog)) {
    if (ClassOf(child) == L"Static") text += TextOf(child) + L"\n";
  }
  return text;
}

void Click(HWND control) { ::PostMessageW(control, BM_CLICK, 0, 0); }

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

struct NamedKey {
  const wchar_t* name;
  WORD key;
};
constexpr NamedKey kModifiers[] = {{L"alt", VK_MENU}, {L"shift", VK_SHIFT}, {L"ctrl", VK_CONTROL}};
constexpr NamedKey kKeys[] = {
    {L"tab", VK_TAB}, {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"space", VK_SPACE}};

// The key of a name in the table, or of a single letter or digit; 0 when there is none.
template <std::size_t N>
WORD KeyNamed(const NamedKey (&table)[N], const std::wstring& name, bool letters) {
  for (const NamedKey& entry : table) {
    if (name == entry.name) return entry.key;
  }
  if (letters && name.size() == 1 && std::iswalnum(name[0])) return static_cast<WORD>(std::towupper(name[0]));
  return 0;
}

// "alt+n", "shift+tab", "enter": the modifiers held while the last key is pressed.
bool SendKeys(const std::wstring& keys) {
  std::vector<WORD> held;
  std::wstring rest = keys;
  for (std::size_t plus; (plus = rest.find(L'+')) != std::wstring::npos && plus + 1 < rest.size();) {
    const WORD modifier = KeyNamed(kModifiers, rest.substr(0, plus), false);
    if (modifier == 0) return false;
    held.push_back(modifier);
    rest = rest.substr(plus + 1);
  }
  const WORD key = KeyNamed(kKeys, rest, true);
  if (key == 0) return false;
  std::vector<INPUT> inputs;
  for (WORD modifier : held) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = held.rbegin(); it != held.rend(); ++it) inputs.push_back(KeyInput(*it, true));
  return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

class Run {
 public:
  explicit Run(std::vector<std::wstring> args) : args_(std::move(args)) {}

  int Go() {
    while (next_ < args_.size()) {
      const std::wstring command = Take();
      if (!Step(command)) {
        std::fprintf(stderr, "ovdriver: %s failed: %s\n", Narrow(command).c_str(), error_.c_str());
        return 1;
      }
    }
    return 0;
  }

 private:
  std::wstring Take() { return next_ < args_.size() ? args_[next_++] : std::wstring(); }
  DWORD TakeMs() {
    if (next_ < args_.size() && !args_[next_].empty() && args_[next_][0] >= L'0' && args_[next_][0] <= L'9') {
      return static_cast<DWORD>(std::wcstoul(Take().c_str(), nullptr, 10));
    }
    return kDefaultWait;
  }
  bool Fail(const std::string& why) {
    error_ = why;
    return false;
  }

  bool Step(const std::wstring& command) {
    if (command == L"wait-wizard") {
      return WaitFor(TakeMs(), Wizard) ? true : Fail("no wizard window");
    }
    if (command == L"click") {
      const std::wstring caption = Take();
      HWND control = WaitFor(kDefaultWait, [&] { return ControlWithCaption(caption); });
      if (!control) return Fail("no usable control \"" + Narrow(caption) + "\"");
      Click(control);
      return true;
    }
    if (command == L"type") {
      const std::wstring text = Take();
      HWND edit = WaitFor(kDefaultWait, [] {
        HWND wizard = Wizard();
        if (!wizard) return static_cast<HWND>(nullptr);
        for (HWND child : Children(wizard)) {
          const LONG style = ::GetWindowLongW(child, GWL_STYLE);
          if (ClassOf(child) == L"Edit" && ::IsWindowVisible(child) && !(style & ES_READONLY)) return child;
        }
        return static_cast<HWND>(nullptr);
      });
      if (!edit) return Fail("no edit box");
      ::SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                            5000, nullptr);
      return true;
    }
    if (command == L"wait-text") {
      const std::wstring caption = Take();
      const DWORD ms = TakeMs();
      HWND found = WaitFor(ms, [&] {
        HWND wizard = Wizard();
        if (!wizard) return static_cast<HWND>(nullptr);
        for (HWND child : Children(wizard)) {
          if (::IsWindowVisible(child) && Matches(TextOf(child), caption)) return child;
        }
        return static_cast<HWND>(nullptr);
      });
      return found ? true : Fail("no control shows \"" + Narrow(caption) + "\"");
    }
    if (command == L"box") {
      const std::wstring text = Take();
      const std::wstring button = Take();
      const DWORD ms = TakeMs();
      HWND dialog = WaitFor(ms, [&] {
        for (HWND candidate : SetupDialogs()) {
          if (Matches(DialogText(candidate), text.starts_with(L"~") ? text : L"~" + text)) return candidate;
        }
        return static_cast<HWND>(nullptr);
      });
      if (!dialog) return Fail("no message box with \"" + Narrow(text) + "\"");
      for (HWND child : Children(dialog)) {
        if (ClassOf(child) == L"Button" && ::IsWindowVisible(child) && Matches(TextOf(child), button)) {
          Click(child);
          return true;
        }
      }
      return Fail("the box has no button \"" + Narrow(button) + "\"");
    }
    if (command == L"box-text") {
      const DWORD ms = TakeMs();
      HWND dialog = WaitFor(ms, [] {
        const std::vector<HWND> dialogs = SetupDialogs();
        return dialogs.empty() ? static_cast<HWND>(nullptr) : dialogs.front();
      });
      if (!dialog) return Fail("no message box");
      std::printf("%s\n", Narrow(MessageOf(dialog)).c_str());
      return true;
    }
    if (command == L"where") {
      const std::wstring caption = Take();
      HWND wizard = Wizard();
      if (!wizard) return Fail("no wizard window");
      for (HWND child : Children(wizard)) {
        if (!::IsWindowVisible(child) || !Matches(TextOf(child), caption)) continue;
        RECT rect;
        ::GetWindowRect(child, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return true;
      }
      return Fail("no control shows \"" + Narrow(caption) + "\"");
    }
    if (command == L"no-dialog") {
      const DWORD ms = TakeMs();
      const DWORD start = ::GetTickCount();
      while (::GetTickCount() - start < ms) {
        const std::vector<HWND> dialogs = AllDialogs();
        if (!dialogs.empty()) return Fail("a dialog opened: " + Narrow(MessageOf(dialogs.front())));
        ::Sleep(kPoll);
      }
      return true;
    }
    if (command == L"wait-window") {
      const std::wstring className = Take();
      const DWORD ms = TakeMs();
      return WaitFor(ms, [&] { return ShownTopLevel(className); })
                 ? true
                 : Fail("no window of class \"" + Narrow(className) + "\"");
    }
    if (command == L"window-text") {
      const std::wstring className = Take();
      const DWORD ms = TakeMs();
      HWND window = WaitFor(ms, [&] { return ShownTopLevel(className); });
      if (!window) return Fail("no window of class \"" + Narrow(className) + "\"");
      std::printf("%s\n", Narrow(TextOf(window)).c_str());
      for (HWND child : Children(window)) std::printf("%s\n", Narrow(TextOf(child)).c_str());
      return true;
    }
    if (command == L"close-window") {
      const std::wstring className = Take();
      HWND window = ::FindWindowW(className.c_str(), nullptr);
      if (!window) return Fail("no window of class \"" + Narrow(className) + "\"");
      ::PostMessageW(window, WM_CLOSE, 0, 0);
      return true;
    }
    if (command == L"checked") {
      const std::wstring caption = Take();
      HWND wizard = Wizard();
      if (!wizard) return Fail("no wizard window");
      for (HWND child : Children(wizard)) {
        if (ClassOf(child) != L"Button" || !::IsWindowVisible(child) || !Matches(TextOf(child), caption)) continue;
        DWORD_PTR state = 0;
        if (!::SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) {
          return Fail("the check box does not answer");
        }
        std::printf("%d\n", state == BST_CHECKED ? 1 : 0);
        return true;
      }
      return Fail("no check box \"" + Narrow(caption) + "\"");
    }
    if (command == L"count") {
      const std::wstring className = Take();
      int count = 0;
      for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, className.c_str(), nullptr));) {
        ++count;
      }
      std::printf("%d\n", count);
      return true;
    }
    if (command == L"no-box") {
      const DWORD ms = TakeMs();
      const DWORD start = ::GetTickCount();
      while (::GetTickCount() - start < ms) {
        const std::vector<HWND> dialogs = SetupDialogs();
        if (!dialogs.empty()) return Fail("a box opened: " + Narrow(DialogText(dialogs.front())));
        ::Sleep(kPoll);
      }
      return true;
    }
    if (command == L"dump") {
      HWND wizard = Wizard();
      if (!wizard) return Fail("no wizard window");
      std::printf("window \"%s\"\n", Narrow(TextOf(wizard)).c_str());
      for (HWND child : Children(wizard)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, wizard, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("%-18s %5d %s %s %4ld,%4ld %4ldx%-4ld \"%s\"\n", Narrow(ClassOf(child)).c_str(),
                    ::GetDlgCtrlID(child), ::IsWindowVisible(child) ? "shown " : "hidden",
                    ::IsWindowEnabled(child) ? "enabled " : "disabled", rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, Narrow(TextOf(child)).c_str());
      }
      return true;
    }
    if (command == L"key") {
      const std::wstring keys = Take();
      if (HWND wizard = Wizard()) ::SetForegroundWindow(wizard);
      return SendKeys(keys) ? true : Fail("cannot type \"" + Narrow(keys) + "\"");
    }
    if (command == L"hover") {
      const std::wstring caption = Take();
      HWND control = WaitFor(kDefaultWait, [&] { return ControlWithCaption(caption); });
      if (!control) return Fail("no usable control \"" + Narrow(caption) + "\"");
      RECT rect;
      ::GetWindowRect(control, &rect);
      ::SetCursorPos(rect.left + 8, (rect.top + rect.bottom) / 2);
      return true;
    }
    if (command == L"taskbar") {
      HWND wizard = ::FindWindowW(kWizardClass, nullptr);
      if (!wizard) return Fail("no wizard window");
      DWORD setup = 0;
      ::GetWindowThreadProcessId(wizard, &setup);
      // A task-bar button: a shown top-level window that no other window owns and that is no tool window.
      for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != setup || !::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER)) continue;
        if (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) continue;
        std::printf("\"%s\"\n", Narrow(TextOf(window)).c_str());
      }
      return true;
    }
    if (command == L"focus") {
      HWND wizard = Wizard();
      if (!wizard) return Fail("no wizard window");
      DWORD thread = ::GetWindowThreadProcessId(wizard, nullptr);
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      if (!::GetGUIThreadInfo(thread, &info)) return Fail("no keyboard focus");
      std::printf("%s \"%s\"\n", Narrow(ClassOf(info.hwndFocus)).c_str(),
                  Narrow(TextOf(info.hwndFocus)).c_str());
      return true;
    }
    if (command == L"close") {
      HWND wizard = Wizard();
      if (!wizard) return Fail("no wizard window");
      ::PostMessageW(wizard, WM_CLOSE, 0, 0);
      return true;
    }
    if (command == L"wait-gone") {
      const DWORD ms = TakeMs();
      const DWORD start = ::GetTickCount();
      while (::FindWindowW(kWizardClass, nullptr)) {
        if (::GetTickCount() - start >= ms) return Fail("the wizard window is still there");
        ::Sleep(kPoll);
      }
      return true;
    }
    if (command == L"sleep") {
      ::Sleep(TakeMs());
      return true;
    }
    return Fail("unknown command");
  }

  std::vector<std::wstring> args_;
  std::size_t next_ = 0;
  std::string error_;
};

}  // namespace

int main() {
  // Plain LF line ends for the scripts that read the output; a CR inside a text stays a CR.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!argv) return 2;
  std::vector<std::wstring> args(argv + 1, argv + count);
  ::LocalFree(argv);
  return Run(std::move(args)).Go();
}
