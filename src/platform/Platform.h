#pragma once
// The operating system as the core sees it: one reference per kind of operation.

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "platform/Http.h"
#include "platform/Launcher.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/Signatures.h"
#include "platform/SystemRestore.h"
#include "platform/TextEncoding.h"
#include "platform/VersionInfo.h"

namespace qm::platform {

struct Platform {
    FileSystem& files;
    ShellFolders& shell;
    Clock& clock;
    VersionInfo& version;
    Drives& drives;
    Registry& registry;
    Launcher& launcher;
    Processes& processes;
    SystemRestore& systemRestore;
    Clipboard& clipboard;
    Http& http;
    Dates& dates;
    TextEncoding& encoding;
    Signatures& signatures;
};

}  // namespace qm::platform
