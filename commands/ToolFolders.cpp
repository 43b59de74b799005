// Tool-folder preparation over IToolFolderFiles.
#include "commands/ToolFolders.h"

#include "base/Text.h"
#include "settings/IniFile.h"

#include <stdexcept>

namespace quindle {
namespace {

const char kToolConfigName[] = "qtools.ini";
const char kSatelliteTagPrefix[] = "QTOOL.SATELLITE:";

// The first line as the string list reads it, with the string list's errors.
std::string FirstLineOf(IToolFolderFiles& files, const std::string& path) {
    std::string bytes;
    if (!files.ReadFile(path, bytes)) throw std::runtime_error("Cannot open file " + path);
    const TStringList lines = SplitIniText(bytes);
    if (lines.empty()) throw std::runtime_error("List index out of bounds (0)");
    return lines[0];
}

void CopyRecorded(IToolFolderFiles& files, const std::string& from, const std::string& to,
                  std::vector<std::string>& toolFolderFiles) {
    // Recorded first: whatever the copy leaves behind is removed with the folder.
    toolFolderFiles.push_back(to);
    files.CopyOver(from, to);
}

}  // namespace

std::string ToolNameOfLine(const std::string& line) {
    if (line.size() <= 2 || line.front() != '[' || line.back() != ']') return {};
    return line.substr(1, line.size() - 2);
}

void PrepareToolFolders(IToolFolderFiles& files, const std::string& runDir, const std::vector<std::string>& toolFolders,
                        std::vector<std::string>& toolFolderFiles, const std::vector<TToolFile>& toolFiles) {
    for (auto folder = toolFolders.rbegin(); folder != toolFolders.rend(); ++folder) {
        const std::string name = ToolNameOfLine(FirstLineOf(files, *folder + kToolConfigName));
        if (name.empty()) continue;
        const std::string program = "Q" + name + ".EXE";
        CopyRecorded(files, runDir + program, *folder + program, toolFolderFiles);
        // The tag is compared exactly; only the program name is upper-cased.
        const std::string satelliteTag = kSatelliteTagPrefix + files.UpperCase(program);
        for (const TToolFile& file : toolFiles) {
            if (file.Tag != satelliteTag) continue;
            CopyRecorded(files, file.Path, *folder + FileNamePart(file.Path), toolFolderFiles);
        }
    }
}

}  // namespace quindle
