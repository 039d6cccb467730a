#pragma once
// The one way the Win32 layer includes the Windows headers.
//
// windows.h defines DeleteFile and CopyFile as macros for DeleteFileA and CopyFileA.
// platform::FileSystem has members of those names, so any file that sees both would rename the
// member in some places and not in others (an override that overrides nothing, or a call to a
// member that does not exist). The macros are dropped here; this layer always calls the
// explicit ::DeleteFileA and ::CopyFileA anyway.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>

#ifdef DeleteFile
#undef DeleteFile
#endif
#ifdef CopyFile
#undef CopyFile
#endif
