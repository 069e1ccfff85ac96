#pragma once
// Java Development Kits and wireless toolkits registered on the machine: one record per
// registered installation, judged when it is built, and the choice of one of each kind.
// Discovery only reads: registry keys are opened read-only and nothing is created or changed.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Machine.h"

namespace ov::javatools {

// Registry roots under HKEY_LOCAL_MACHINE; every subkey is one candidate installation.
inline constexpr std::string_view kJdkRoot = "SOFTWARE\\JavaSoft\\Java Development Kit";
inline constexpr std::string_view kJ2meWtkRoot = "SOFTWARE\\Sun Microsystems, Inc.\\J2ME Wireless Toolkit";
inline constexpr std::string_view kSunWtkRoot = "SOFTWARE\\Sun Microsystems, Inc.\\Sun Java Wireless Toolkit";

// Scan results.
inline constexpr std::int32_t kScanNoRoot = -1;    // the root key is missing or cannot be opened
inline constexpr std::int32_t kScanStopped = -11;  // an error (such as a non-string value) ended the scan

// One registered Java Development Kit.
class TSunJDK {
 public:
  // Stores both texts trimmed and judges the kit; the record is kept whatever the outcome.
  TSunJDK(platform::FileSystem& files, std::string_view version, std::string_view homeDir);
  virtual ~TSunJDK() = default;
  TSunJDK(const TSunJDK&) = delete;
  TSunJDK& operator=(const TSunJDK&) = delete;

  // Sets Status; true exactly when it is 0. Never raises.
  //    0 usable                         -1 unexpected error
  //   -3 no "." in Version              -4 the text before the first "." is not an integer
  //   -5 major number below 1           -6 no decimal digit right after the first "."
  //   -1414 major 1 with that digit below 4
  //   -11 HomeDir is not a folder       -12 no HomeDir\bin\javac.exe (overrides -11)
  bool Validate();

  std::int32_t Status = 0;
  const std::string Version;  // the registry subkey name
  const std::string HomeDir;  // its "JavaHome" value

 private:
  platform::FileSystem& files_;
};

// One registered wireless toolkit.
class TMobileWTK {
 public:
  // Stores both texts trimmed and judges the toolkit; only a usable one gets a Devices list.
  TMobileWTK(platform::FileSystem& files, std::string_view version, std::string_view homeDir);
  virtual ~TMobileWTK() = default;
  TMobileWTK(const TMobileWTK&) = delete;
  TMobileWTK& operator=(const TMobileWTK&) = delete;

  // Sets Status; true exactly when it is 0. Never raises. The checks after the version run in
  // this order and the last failing one leaves its code:
  //    0 usable                         -1 unexpected error
  //   -3 no "." in Version              -4 the text before the first "." is not an integer
  //   -5 major number below 2
  //   -11 HomeDir is not a folder       -13 no HomeDir\bin\preverify.exe
  //   -14 no HomeDir\lib\cldcapi10.jar  -15 no HomeDir\lib\midpapi20.jar
  bool Validate();

  // Lists the devices again; does nothing for a toolkit without a Devices list.
  void RefreshDevices();

  // Replaces the list's contents with the device folders N under folder\wtklib\devices\ that
  // hold N\N.properties; leaves the list alone when either folder is missing.
  void ListDevices(const std::string& folder, std::vector<std::string>* list);

  std::int32_t Status = 0;
  const std::string Version;  // the registry subkey name
  const std::string HomeDir;  // its "InstallDir" value
  // Zeroed at construction and by every rescan; nothing reads them.
  std::int32_t Reserved1 = 0;
  std::int32_t Reserved2 = 0;
  // Emulator device names as found; exists only when the toolkit was usable at construction.
  std::unique_ptr<std::vector<std::string>> Devices;

 private:
  platform::FileSystem& files_;
};

// Appends a record for every subkey of the JDK root whose "JavaHome" names an existing folder.
// Returns 0, kScanNoRoot or kScanStopped (records appended before the error stay).
std::int32_t ScanJDKs(platform::Machine& machine, std::vector<std::unique_ptr<TSunJDK>>& list);

// The same for toolkits under one toolkit root (kJ2meWtkRoot or kSunWtkRoot), by "InstallDir".
std::int32_t ScanWTKs(platform::Machine& machine, std::string_view rootPath,
                      std::vector<std::unique_ptr<TMobileWTK>>& list);

// Scans and keeps, in scan order, the kits whose Version is at least "1.5" compared byte by
// byte; the first kept one is selected (null when none). Status is not consulted.
void CollectJDKs(platform::Machine& machine, std::vector<std::unique_ptr<TSunJDK>>& kept, TSunJDK*& selected);

// The same for toolkits from both roots (J2ME root first), with the threshold "2.5".
void CollectWTKs(platform::Machine& machine, std::vector<std::unique_ptr<TMobileWTK>>& kept,
                 TMobileWTK*& selected);

}  // namespace ov::javatools
