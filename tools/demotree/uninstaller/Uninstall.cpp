// OVUninstall.exe as the demo product tree ships it: the product's uninstaller does not exist
// yet, so this one only says so and removes nothing.
#include "platform/win32/WindowsApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxW(
      nullptr,
      L"This is a placeholder for the Ornivale\u2122 uninstaller, which is not part of this build.\n\n"
      L"Nothing has been removed.",
      L"Ornivale Uninstall", MB_OK | MB_ICONINFORMATION);
  return 1;  // nothing was uninstalled
}
