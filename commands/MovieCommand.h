// Which texts sent to the runner window with WM_SETTEXT are movie commands rather than
// captions. An accepted command is answered with 1 and leaves the caption as it was;
// anything else gets the default WM_SETTEXT processing. Used by the runner window.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// wParam of the WM_SETTEXT: which forms it admits.
constexpr uintptr_t kAnyCommandSelector = 0;  // "qcommand:", "qcommandw:" and "dde:"
constexpr uintptr_t kDdeCommandSelector = 1;  // "dde:" only; any other value admits none

struct TMovieCommand {
    enum TForm { None, QCommand, QCommandW, Dde } Kind = None;
    bool Accepted() const { return Kind != None; }
};

// ddeApplication and ddeTopic are the HTML association's DDE strings from the control
// block (both empty when the system has no association); a "dde:" text must name them
// exactly, letter case included.
TMovieCommand ClassifyMovieCommand(uintptr_t selector, const std::string& text, const std::string& ddeApplication,
                                   const std::string& ddeTopic);

}  // namespace quindle
