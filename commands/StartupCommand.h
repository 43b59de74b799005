// The start-up command: the BeforeShow setting names one library or program in the run
// directory, called or started once after the projector window is found and hidden,
// before it is styled and shown. This is the decision; commands/win32 carries it out.
#pragma once

#include <string>

namespace quindle {

enum class TStartupKind { None, Library, Program };

struct TStartupCommand {
    TStartupKind Kind = TStartupKind::None;
    std::string Path;       // runDir + the file name
    std::string Arguments;  // the text after the first blank, further blanks kept
};

// beforeShow: "name args..."; the file name runs up to the first blank. A ".dll"
// (any letter case) is a library whose "BeforeShow" export is called, a ".exe" a
// program started; any other extension, or no file name, does nothing.
TStartupCommand ParseStartupCommand(const std::string& beforeShow, const std::string& runDir);

// What the "BeforeShow" export receives as its argument text: the arguments followed
// by two NUL characters.
std::string ExportArgumentText(const TStartupCommand& command);

// The program's command line: the path in quotes, one blank, the arguments (so it ends
// in a blank when there are none). The run directory lies under the temporary folder,
// whose path often holds a blank; unquoted, the system would try the part before the
// blank as a program first and hand the real one its arguments shifted.
std::string ProgramCommandLine(const TStartupCommand& command);

}  // namespace quindle
