// A harmless stand-in for a running threat: it waits, doing nothing, until it is stopped or a
// minute has passed. Tests copy it under a threat's name and start it.
#include "platform/win32/WinApi.h"

int main() {
    ::Sleep(60000);
    return 0;
}
