// Writes a packaged runner: the stub as it is (sessions it carries included), then
// one new session of the given inputs and its trailer. The output appears under its
// name only when complete; on any failure nothing is left behind.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "package/PeImage.h"
#include "package/SessionArchive.h"
#include "tools/pack/PackInputs.h"

namespace quindle::pack {

struct TPackOptions {
    std::string stub;
    std::optional<TUnsignedImage> stubImage;  // what of the stub to copy; nullopt: all of it
    std::string out;
    std::string session = kRunnerSessionName;
    int level = 6;
    unsigned threads = 0;  // 0: every core
};

// checkWritten sees the complete file under its temporary name; throwing leaves nothing.
void PackSession(const TPackOptions& options, const std::vector<TPackInput>& inputs,
                 const std::function<void(const std::string& written)>& checkWritten = {});

extern const char* const kToolVersion;

}  // namespace quindle::pack
