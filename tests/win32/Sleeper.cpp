// A harmless stand-in for a running threat: it waits, doing nothing, until it is stopped or two
// minutes have passed (long enough for a slow machine's end-to-end run to still find it).
// Tests copy it under a threat's name and start it.
//   qm_sleeper.exe [--hold PATH]
// With --hold it keeps PATH open the way a running program keeps its own files: others may
// read it, but nobody can delete it while it runs.
#include <cstring>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

int main(int argc, char** argv) {
    qm::platform::win32::UniqueFile held;
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) {
        held.reset(::CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!held) return 1;
    }
    ::Sleep(120000);
    return 0;
}
