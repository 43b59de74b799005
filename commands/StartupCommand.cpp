// Parsing the BeforeShow setting into what to load or start.
#include "commands/StartupCommand.h"

#include "package/ExtractionRouting.h"
#include "base/Text.h"

namespace quindle {

TStartupCommand ParseStartupCommand(const std::string& beforeShow, const std::string& runDir) {
    TStartupCommand command;
    const size_t blank = beforeShow.find(' ');
    const std::string name = beforeShow.substr(0, blank);
    if (name.empty()) return command;
    command.Path = runDir + name;
    if (blank != std::string::npos) command.Arguments = beforeShow.substr(blank + 1);
    const std::string ext = EntryExtension(LowerAscii(command.Path));
    if (ext == ".dll")
        command.Kind = TStartupKind::Library;
    else if (ext == ".exe")
        command.Kind = TStartupKind::Program;
    return command;
}

std::string ExportArgumentText(const TStartupCommand& command) { return command.Arguments + '\0' + '\0'; }

std::string ProgramCommandLine(const TStartupCommand& command) {
    return "\"" + command.Path + "\" " + command.Arguments;
}

}  // namespace quindle
