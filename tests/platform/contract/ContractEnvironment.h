#pragma once
// What the platform contract suite needs of the machine it runs on: the emulated machine
// natively, the real API under Wine. Each target links exactly one implementation of
// MakeContractEnvironment().
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/Machine.h"

namespace ov::contract {

using WindowProc = std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t)>;

class ContractEnvironment {
 public:
  virtual ~ContractEnvironment() = default;
  virtual platform::Machine& machine() = 0;
  // An empty folder of its own for the current test, e.g. C:\ovcontract\<n>; removed afterwards.
  virtual std::string ScratchFolder() = 0;
  // A registry key path of its own under HKEY_LOCAL_MACHINE (and the same under HKEY_CLASSES_ROOT),
  // e.g. SOFTWARE\OvContract\<n>; removed afterwards.
  virtual std::string ScratchKey() = 0;
  // A window of this program whose posted messages go to proc when the UI thread pumps.
  virtual platform::WindowHandle CreateWindow(const std::string& className, WindowProc proc) = 0;
  // Pumps the UI thread's queue until the condition holds or the timeout passes.
  virtual bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) = 0;
  // True on the real API under Wine, where a few behaviours are Wine's (read-only is not
  // enforced for root, for instance).
  virtual bool UnderWine() const = 0;
};

// One per test; the suite's fixture creates it in SetUp.
std::unique_ptr<ContractEnvironment> MakeContractEnvironment();

}  // namespace ov::contract
