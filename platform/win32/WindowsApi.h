#pragma once
// The system headers, for the win32 side only. Include this instead of <windows.h>: it removes
// the A/W macros whose names the platform interfaces use for their own methods.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateWindow
#undef DeleteFile
#undef RemoveDirectory
