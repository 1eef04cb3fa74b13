#pragma once

// The Windows SDK headers, included in one place. windows.h defines macros named like members
// of the platform interfaces (DeleteFile, CopyFile, SetCurrentDirectory, ...); they are removed
// here so that those names keep meaning the interface members.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// COM and the shell, after windows.h.
#include <ole2.h>
#include <oleauto.h>
#include <shlobj.h>
#include <shobjidl.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef MessageBox
#undef SetCurrentDirectory
