#pragma once
// The real machine: every Win32 implementation of the platform seam, and the bundle of
// references the core takes. Not copyable: `platform` refers to the members.

#include "platform/Platform.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Dates.h"
#include "platform/win32/Win32Drives.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ShellFolders.h"
#include "platform/win32/Win32Signatures.h"
#include "platform/win32/Win32SystemRestore.h"
#include "platform/win32/Win32TextEncoding.h"
#include "platform/win32/Win32VersionInfo.h"
#include "text/Text.h"

namespace qm::platform::win32 {

struct Win32Platform {
    // The core's text routines follow the system's code page from here on: its case tables,
    // its two-byte characters and its conversion to UTF-8.
    Win32Platform() {
        if (const auto tables = encoding.CodePage()) text::UseCodePage(*tables);
    }
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Win32FileSystem files;
    Win32ShellFolders shell;
    Win32Clock clock;
    Win32VersionInfo version;
    Win32Drives drives;
    Win32Registry registry;
    Win32Launcher launcher;
    Win32Processes processes;
    Win32SystemRestore systemRestore;
    Win32Clipboard clipboard;
    Win32Http http;
    Win32Dates dates;
    Win32TextEncoding encoding;
    Win32Signatures signatures;
    Platform platform{files,     shell,         clock,     version, drives, registry, launcher,
                      processes, systemRestore, clipboard, http,    dates,  encoding, signatures};
};

}  // namespace qm::platform::win32
