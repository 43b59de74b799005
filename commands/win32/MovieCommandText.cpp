// WM_SETTEXT's text and the block's DDE names handed to the classifier.
#include "commands/win32/MovieCommandText.h"

namespace quindle {

TMovieCommand ClassifySetText(WPARAM wParam, LPARAM lParam, const TRunnerControlBlock* block) {
    const char* text = reinterpret_cast<const char*>(lParam);
    if (!text) return {};
    const std::string application = block ? ReadBlockText(block->DdeApplication) : std::string();
    const std::string topic = block ? ReadBlockText(block->DdeTopic) : std::string();
    return ClassifyMovieCommand(wParam, text, application, topic);
}

}  // namespace quindle
