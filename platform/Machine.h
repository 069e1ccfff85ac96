#pragma once
// The Windows machine a component works on: what it needs of the platform, passed in.
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace ov::platform {

struct Machine {
  FileSystem& files;
  Registry& registry;
  System& system;
  Shell& shell;
  Messages& messages;
  Resources& resources;
};

}  // namespace ov::platform
