// A start-up program for the tests: reports the command line it was started with and
// the file it was started from.
#include <windows.h>

#include "tests/wine/probe/StartupProbe.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    probe::Report("probe_cmdline", ::GetCommandLineA());
    char module[MAX_PATH + 1] = {};
    probe::Report("probe_module", std::string(module, ::GetModuleFileNameA(nullptr, module, MAX_PATH)));
    return 0;
}
