// ov_install_probe: times an install under Wine from the click on Install to the finish page and
// meanwhile checks that the wizard's UI thread keeps answering: a thread of its own sends the wizard
// a message (WM_NULL, through SendMessageTimeout) every 50 ms and keeps the longest wait for the
// answer, while the main thread looks for the finish page's caption.
//   ov_install_probe [limit-ms]     the wizard must show its folder page; limit 600000 unless given
// Prints the finish caption, then "install to finish N ms (seen within S ms), P probes, longest
// wait W ms (from T ms, ending E ms before the finish page was seen), K waits over 100 ms".
// Exit code: 0 the finish page came, 1 it did not (or no wizard, no Install button), 2 usage.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kWizardClass[] = L"TfrmInst";
constexpr wchar_t kInstall[] = L"&Install";
constexpr wchar_t kFinished[] = L"Setup has finished installing";
constexpr DWORD kPeriodMs = 50;
constexpr DWORD kSlowMs = 100;
// Long enough to see how long a wait really is.
constexpr UINT kAnswerLimitMs = 30000;

class Stopwatch {
 public:
  Stopwatch() {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);
  }
  double Ms() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{}, start_{};
};

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  ::EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

// WM_GETTEXT reads controls of another process; empty when the window does not answer.
std::wstring TextOf(HWND window) {
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

// The caption of a shown child that is `caption` (exact) or contains it (`partly`); empty when none.
std::wstring Shown(HWND wizard, const wchar_t* caption, bool partly, HWND* found = nullptr) {
  for (HWND child : Children(wizard)) {
    if (!::IsWindowVisible(child)) continue;
    std::wstring text = TextOf(child);
    if (partly ? text.find(caption) != std::wstring::npos : text == caption) {
      if (found) *found = child;
      return text;
    }
  }
  return {};
}

struct Probes {
  int count = 0;
  int slow = 0;
  double longest = 0;
  double longestAt = 0;
  bool unanswered = false;
};

// Every 50 ms until told to stop, on its own thread so the probes keep their pace.
void Probe(HWND wizard, const Stopwatch& clock, const std::atomic<bool>& stop, Probes& probes) {
  for (double next = clock.Ms(); !stop; next += kPeriodMs) {
    const double sent = clock.Ms();
    DWORD_PTR ignored = 0;
    const bool answered = ::SendMessageTimeoutW(wizard, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &ignored) != 0;
    const double wait = clock.Ms() - sent;
    ++probes.count;
    if (wait > kSlowMs) ++probes.slow;
    if (wait > probes.longest) {
      probes.longest = wait;
      probes.longestAt = sent;
    }
    if (!answered) {
      probes.unanswered = true;  // the window went away, or did not answer at all
      return;
    }
    const double now = clock.Ms();
    if (next + kPeriodMs > now) ::Sleep(static_cast<DWORD>(next + kPeriodMs - now));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: ov_install_probe [limit-ms]\n");
    return 2;
  }
  const double limitMs = argc == 2 ? std::atof(argv[1]) : 600000.0;
  HWND wizard = ::FindWindowW(kWizardClass, nullptr);
  if (!wizard) {
    std::fprintf(stderr, "ov_install_probe: no wizard window\n");
    return 1;
  }
  HWND install = nullptr;
  if (Shown(wizard, kInstall, false, &install).empty() || !::IsWindowEnabled(install)) {
    std::fprintf(stderr, "ov_install_probe: no Install button shown\n");
    return 1;
  }

  const Stopwatch clock;
  std::atomic<bool> stop{false};
  Probes probes;
  std::thread prober(Probe, wizard, std::cref(clock), std::cref(stop), std::ref(probes));
  ::PostMessageW(install, BM_CLICK, 0, 0);
  // Captions are read (through the UI thread) only when the set of shown controls changes, as it
  // does when a page is shown, and twice a second besides; the page came after the look before.
  std::wstring finish;
  std::vector<HWND> shownBefore;
  double finishedAt = -1, lookedAt = 0, lookedBefore = 0, readAt = -1e9;
  while (clock.Ms() < limitMs && ::IsWindow(wizard)) {
    lookedBefore = lookedAt;
    lookedAt = clock.Ms();
    std::vector<HWND> shown;
    for (HWND child : Children(wizard)) {
      if (::IsWindowVisible(child)) shown.push_back(child);
    }
    if (shown != shownBefore || lookedAt - readAt > 500) {
      shownBefore = shown;
      readAt = lookedAt;
      finish = Shown(wizard, kFinished, true);
      if (!finish.empty()) {
        finishedAt = clock.Ms();
        break;
      }
    }
    ::Sleep(5);
  }
  stop = true;
  prober.join();

  std::string caption(finish.begin(), finish.end());  // the captions are ASCII
  if (finishedAt < 0) {
    std::printf("no finish page within %.0f ms", clock.Ms());
  } else {
    std::printf("%s\ninstall to finish %.0f ms (seen within %.0f ms)", caption.c_str(), finishedAt,
                finishedAt - lookedBefore);
  }
  std::printf(", %d probes, longest wait %.1f ms (from %.0f ms", probes.count, probes.longest, probes.longestAt);
  if (finishedAt >= 0) {
    std::printf(", ending %.0f ms before the finish page was seen", finishedAt - probes.longestAt - probes.longest);
  }
  std::printf("), %d waits over %lu ms%s\n", probes.slow, kSlowMs, probes.unanswered ? ", unanswered" : "");
  return finishedAt < 0 ? 1 : 0;
}
