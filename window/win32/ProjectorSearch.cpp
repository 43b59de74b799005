// The search callback over the projector thread's top-level windows.
#include "window/win32/ProjectorSearch.h"

#include <string>

namespace quindle {

TFrameMetrics ReadFrameMetrics() {
    TFrameMetrics m;
    m.CyMenu = ::GetSystemMetrics(SM_CYMENU);
    m.CyCaption = ::GetSystemMetrics(SM_CYCAPTION);
    m.CxFrame = ::GetSystemMetrics(SM_CXFRAME);
    m.CyFrame = ::GetSystemMetrics(SM_CYFRAME);
    m.CxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    m.CyDlgFrame = ::GetSystemMetrics(SM_CYDLGFRAME);
    return m;
}

namespace {

std::string ClassNameOf(HWND window) {
    char name[1001] = {};
    const int length = ::GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

BOOL CALLBACK ProjectorSearchProc(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<TProjectorSearch*>(parameter);
    if (!IsProjectorClassName(ClassNameOf(window))) return TRUE;
    search.ProjectorWnd = window;
    if (search.Settings && TakesSizeFromProjector(*search.Settings)) {
        RECT r{};
        ::GetWindowRect(window, &r);
        const auto style = static_cast<uint32_t>(::GetWindowLongA(window, GWL_STYLE));
        const TRunnerSize size =
            RunnerSizeFromProjector(*search.Settings, search.Box, {r.left, r.top, r.right, r.bottom}, style,
                                    search.Metrics, search.MaxWidth, search.MaxHeight);
        search.Box = size.Box;
        search.RefWidth = size.RefWidth;
        search.RefHeight = size.RefHeight;
        search.SizeTaken = true;
    }
    return FALSE;
}

bool SearchProjectorWindow(DWORD threadId, TProjectorSearch& search) {
    ::EnumThreadWindows(threadId, ProjectorSearchProc, reinterpret_cast<LPARAM>(&search));
    return search.ProjectorWnd != nullptr;
}

}  // namespace quindle
