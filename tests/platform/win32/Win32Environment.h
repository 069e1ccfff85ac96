#pragma once
// The contract environment on the real API (run under Wine): scratch folders under
// C:\ovcontract, scratch keys under SOFTWARE\OvContract in HKLM and HKCR, real windows.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Machine.h"
#include "tests/platform/contract/ContractEnvironment.h"

namespace ov::win32 {

class Win32Environment final : public contract::ContractEnvironment {
 public:
  Win32Environment();
  ~Win32Environment() override;

  platform::Machine& machine() override { return machine_.machine(); }
  std::string ScratchFolder() override;
  std::string ScratchKey() override;
  platform::WindowHandle CreateWindow(const std::string& className, contract::WindowProc proc) override;
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) override;
  bool UnderWine() const override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Win32Machine machine_;
  std::string scratchFolder_;
  std::string scratchKey_;
  bool classesSoftwareExisted_ = true;
  std::vector<std::unique_ptr<contract::WindowProc>> procs_;
  std::vector<Window> windows_;  // destroyed before their classes are unregistered
  std::vector<std::string> classes_;
};

}  // namespace ov::win32
