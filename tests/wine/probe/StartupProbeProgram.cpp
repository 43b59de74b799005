// A start-up program for the tests: reports the command line it was started with.
#include <windows.h>

#include "tests/wine/probe/StartupProbe.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    probe::Report("probe_cmdline", ::GetCommandLineA());
    return 0;
}
