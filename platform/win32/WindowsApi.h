#pragma once
// The system headers, for the win32 side only. Include this instead of <windows.h>: it removes
// the A/W macros whose names the platform interfaces use for their own methods.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#undef CopyFile
#undef CreateDirectory
#undef CreateWindow
#undef DeleteFile
#undef RemoveDirectory
