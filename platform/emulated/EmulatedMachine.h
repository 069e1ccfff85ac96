#pragma once
// A Windows machine emulated on a host folder, laid out like a Wine prefix:
// <root>/drive_c is C:, further drives map to <root>/drive_<letter>. The registry lives in
// memory and can be saved to / loaded from a REGEDIT4 .reg file. Everything a test needs to
// set (drives, folders, clock, resources, windows) or to break (faults) is here.
//
// Time: the machine's local time is UTC. Until SetClock, the clock follows the host; a file
// written through a handle takes the clock's time when the handle closes, unless a time was set
// through the handle. Host modification times hold the local time read as UTC.
// Every member may be called from any thread; the pump runs on the thread that calls it.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Machine.h"
#include "platform/emulated/WindowProc.h"

namespace ov::emulated {

using platform::WindowHandle;

class EmulatedMachine {
 public:
  // Creates drive C: (fixed, plenty of free space) with C:\windows and C:\windows\temp,
  // and empty HKLM / HKCU; HKCR is HKLM\Software\Classes, as under Wine.
  explicit EmulatedMachine(std::filesystem::path hostRoot);
  ~EmulatedMachine();
  EmulatedMachine(const EmulatedMachine&) = delete;
  EmulatedMachine& operator=(const EmulatedMachine&) = delete;

  platform::Machine& machine();
  const std::filesystem::path& HostRoot() const;

  // --- drives and files ---
  // A drive of the given type; kNoRootDir removes it. Its folder is <root>/drive_<letter>.
  void SetDrive(char letter, std::uint32_t driveType);
  void SetFreeSpace(char letter, std::uint64_t freeToCaller, std::uint64_t total);
  // The host path of a Windows path (components matched as the file system would); empty for a
  // path that is not valid or not on a mapped drive.
  std::filesystem::path HostPath(const std::string& windowsPath);
  // Handles open on the emulated disk, to check that callers close what they open.
  std::size_t OpenFileCount();

  // --- system ---
  void SetTempPath(std::string path);  // "" makes the query fail; a backslash is appended
  void SetWindowsDirectory(std::string path);
  void SetSpecialFolder(int csidl, std::optional<std::string> path);
  // Creates the folders a fresh Wine prefix has and sets their CSIDLs: desktop (0x00, 0x10),
  // programs (0x02), common programs (0x17), common desktop (0x19), application data (0x1A),
  // common application data (0x23), windows (0x24), program files (0x26).
  void UseStandardFolders();
  void SetClock(const platform::LocalTime& time);  // the clock stands still at that time
  void SetDecimalSeparator(char separator);

  // --- resources ---
  void SetResource(const std::string& name, platform::ResourceType type, std::string bytes);
  void RemoveResource(const std::string& name, platform::ResourceType type);

  // --- windows and the UI queue ---
  // A top-level window of another program; messages posted to it are accepted and dropped.
  WindowHandle AddForeignWindow(const std::string& className);
  // A window of this program; posted messages are dispatched to `proc` by the pump.
  WindowHandle CreateWindow(const std::string& className, WindowProc proc);
  void DestroyWindow(WindowHandle window);
  // Dispatches queued messages and tasks on the calling thread (the UI thread), in posting order,
  // until the queue is empty; the number dispatched.
  std::size_t PumpPending();
  // Pumps until the condition holds (checked before waiting and after each dispatch) or the
  // timeout passes; the condition's last result.
  bool PumpUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // --- shell ---
  std::vector<std::string> OpenedDocuments();  // ShellExecute "open" calls, in order
  int AssociationChangeNotifications();

  // --- registry ---
  // A value of any type (REG_EXPAND_SZ, binary, ...), creating the key; false for a bad path.
  bool SetRegistryValue(platform::RegRoot root, const std::string& keyPath, const std::string& name,
                        const platform::RegValue& value);
  bool SaveRegistry(const std::filesystem::path& regFile);
  // Adds the file's keys and values; nothing changes when the file is not valid REGEDIT4.
  bool LoadRegistry(const std::filesystem::path& regFile);

  // --- faults ---
  // Opening for writing, creating, copying onto or moving onto a path under the prefix fails,
  // and so does writing through a handle already open there.
  void FailWritesUnder(const std::string& windowsPathPrefix);
  // The drive accepts only so many more bytes; writes beyond fail part-way (what fits is written).
  void FillDiskAfter(char letter, std::uint64_t bytes);
  // Creating keys, opening them for writing, writing values and deleting keys at or below the key
  // fails (access denied).
  void DenyRegistryWritesUnder(platform::RegRoot root, const std::string& keyPrefix);
  void ClearFaults();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ov::emulated
