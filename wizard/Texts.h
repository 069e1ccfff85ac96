#pragma once
// Every text the wizard shows, in one place (Windows-1252: "\x99" is the trade mark sign).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "support/Product.h"

namespace ov::wizard::texts {

constexpr std::string_view kWizardClass = "TfrmInst";
constexpr std::string_view kProductWindowClass = "TVelOVMainMDIFrm";
constexpr std::string_view kApplicationTitle = "Ornivale Installer";
constexpr std::string_view kProductVersion = product::kVersion;
constexpr std::string_view kUninstallKey = product::kUninstallKey;
constexpr std::string_view kEulaResource = "OVEULA";
constexpr std::string_view kTickBitmap = "BMP_GREEN_TICK";
constexpr std::string_view kDefaultTarget = "C:\\Ornivale";
constexpr std::string_view kTargetSubfolder = "\\Ornivale";
constexpr std::string_view kProductExe = product::kExeTail;

// Ours to choose: the banner tagline and the button bar's maker line and address.
constexpr std::string_view kTagline = product::kTagline;
constexpr std::string_view kMakerNotice = "\xA9 2008-2009 Velmorra srl. All rights reserved.";
constexpr std::string_view kMakerUrl = product::kMakerUrl;
constexpr std::string_view kJavaDownloadHost = "http://java.vendor.example";
constexpr std::string_view kJdkDownloadPath = "/javase/downloads/index.jsp";
constexpr std::string_view kWtkDownloadPath = "/products/sjwtoolkit/download.html";

constexpr std::string_view kWindowCaption = "Ornivale\x99 - Setup";
constexpr std::string_view kWelcome = "Welcome to the Ornivale Setup Wizard";
constexpr std::string_view kOptions = "Click Next to continue, or Exit to exit Setup";
constexpr std::string_view kSelectFolder = "Select folder to install";
constexpr std::string_view kBrowse = "Browse...";
constexpr std::string_view kWait = "Please wait until Setup is installing Ornivale\x99 on your computer";
constexpr std::string_view kBack = "< &Back";
constexpr std::string_view kNext = "&Next >";
constexpr std::string_view kInstall = "&Install";
constexpr std::string_view kExit = "E&xit";
constexpr std::string_view kFinish = "&Finish";
constexpr std::string_view kClose = "&Close";
constexpr std::string_view kAcceptEula = "&Yes, I accept the License Agreement above";
constexpr std::string_view kRunNow = "Run Ornivale\x99 now!";

constexpr std::string_view kNoteCaption = "  NOTE  ";
constexpr std::string_view kNote =
    "Please note that Ornivale requires following Sun Java\x99 software to be installed on your computer";
constexpr std::string_view kJdkLink = "- Java Development Kit (JDK) ver. 1.5 (or higher)";
constexpr std::string_view kWtkLink = "- Java Wireless Toolkit (WTK) ver. 2.5.2 (or higher)";

constexpr std::string_view kCannotProceed = "Installation can not proceed.";
constexpr std::string_view kAlreadyInstalled = "Ornivale\x99 software is already installed on this computer.";
constexpr std::string_view kAlreadyRunning = "Ornivale\x99 software is currently running on this computer.";

constexpr std::string_view kAbortQuestion = "Are you sure you want to abort the installation?";
constexpr std::string_view kCancelled =
    "Ornivale\x99 installation is cancelled.\rSetup Program will perform cleanup of copied files.";

constexpr std::string_view kStartCaption = " Extracting installation package...";
constexpr std::string_view kExtractingCaption = "  Extracting package... ";
constexpr std::string_view kFoldersCaption = "  Creating folders... ";
constexpr std::string_view kCopyingCaption = "  Copying files... ";
constexpr std::string_view kRegistryCaption = "  Updating registry entries... ";
constexpr std::string_view kSamplesCaption = "  Copying sample projects... ";
constexpr std::string_view kShortcutsCaption = "  Creating shortcuts... ";

constexpr std::string_view kFinished = "Setup has finished installing Ornivale on your computer";
constexpr std::string_view kUserCancelled = "User cancelled installation.";

// The folder check's error box and reasons.
constexpr std::string_view kDriveUnknown = "The drive type cannot be determined.";
constexpr std::string_view kDriveNoRoot = "The root directory does not exist.";
constexpr std::string_view kDriveRemovable = "This is removable drive.";
constexpr std::string_view kDriveFixed = "The disk cannot be removed from the drive.";
constexpr std::string_view kDriveRemote = "The drive is a remote (network) drive.";
constexpr std::string_view kDriveCdRom = "The drive is a CD-ROM drive.";
constexpr std::string_view kDriveRamDisk = "The drive is a RAM disk.";

// The controls take std::string.
inline std::string Str(std::string_view text) { return std::string(text); }

inline std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

inline std::string Intro() {
  return Join({"This setup program will install Ornivale ver ", kProductVersion, " on your computer.\r",
               "It is recomended that you close all other applications before continuing\r"});
}
inline std::string DownloadHint(std::string_view url) { return Join({"link to download page (", url, ")"}); }
inline std::string FinishedWithCode(std::int32_t code) {
  return Join(
      {"Setup has finished installing Ornivale on your computer. (err.code=", std::to_string(code), ")"});
}
inline std::string ExtractError(std::int32_t code) {
  return Join({"An error occurred during installation process. Error Code = ", std::to_string(code)});
}
inline std::string InvalidPath(std::string_view path) { return Join({"\"", path, "\" is invalid path."}); }
inline std::string InvalidDrive(std::string_view root, std::uint32_t code) {
  return Join(
      {"Invalid drive \"", root, "\". System Error Code=", std::to_string(static_cast<std::int32_t>(code))});
}
inline std::string NotEnoughSpace(std::string_view root, std::uint64_t freeMB) {
  return Join({"Not enough free disk space on drive \"", root, "\". Available space=", std::to_string(freeMB),
               " MB"});
}
inline std::string CannotCreate(std::string_view path) {
  return Join({"Folder \"", path, "\" cannot be created"});
}
// The folder page's error box: the path, then the reason, on lines of their own.
inline std::string FolderErrorBox(std::string_view path, std::string_view reason) {
  return Join({"Install folder \"", path, "\r\" has no valid drive or it is not valid path\r", reason});
}

}  // namespace ov::wizard::texts
