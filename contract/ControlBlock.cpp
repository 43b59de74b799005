// The control block's text fields and the names that lead to a session's block.
#include "contract/ControlBlock.h"

#include <algorithm>
#include <cstring>

#include "base/Text.h"

namespace quindle {

namespace {

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void WriteBlockText(TBlockText& field, const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), kBlockTextMax);
    volatile uint8_t* out = field;
    for (size_t i = 0; i < length; ++i) out[1 + i] = static_cast<uint8_t>(text[i]);
    out[0] = static_cast<uint8_t>(length);
}

std::string ReadBlockText(const TBlockText& field) {
    return std::string(reinterpret_cast<const char*>(field) + 1, field[0]);
}

std::string InstanceTagForRunNumber(int32_t runNumber) {
    return runNumber == 0 ? std::string(kInstanceTagStem) : kInstanceTagStem + std::to_string(runNumber);
}

std::string InstanceTagFromRunDirName(const std::string& folderName) {
    const size_t stem = sizeof(kRunDirStem) - 1;
    if (folderName.size() < stem || !SameTextAscii(folderName.substr(0, stem), kRunDirStem)) return {};
    const std::string number = folderName.substr(stem);
    if (!AllDigits(number)) return {};
    return kInstanceTagStem + number;
}

std::string InstanceTagFromModulePath(const std::string& modulePath) {
    const size_t fileStart = modulePath.find_last_of("\\/");
    if (fileStart == std::string::npos) return {};
    const std::string folder = modulePath.substr(0, fileStart);
    const size_t folderStart = folder.find_last_of("\\/:");
    return InstanceTagFromRunDirName(folderStart == std::string::npos ? folder : folder.substr(folderStart + 1));
}

std::string MappingName(const std::string& instanceTag) { return kMappingNamePrefix + instanceTag; }

std::string RunnerMessageName(const std::string& instanceTag) { return kRunnerMessagePrefix + instanceTag; }

}  // namespace quindle
