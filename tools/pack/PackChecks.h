// What pack refuses, checked in one place before anything is written: the output
// against everything the command reads, the stub's sessions, every entry's name and tag
// as Windows will see them in the show's code page, the session as the runner will
// route it, and the project ini with its password. Refusals are EUsageError (exit 2);
// warnings are printed, and with --strict end the command before anything is written.
#pragma once

#include <cstdint>
#include <string>

#include "tools/pack/CodePage.h"
#include "tools/pack/PackInputs.h"
#include "tools/pack/SessionPacker.h"

namespace quindle::pack {

struct TPasswordRequest {
    bool given = false;
    std::string text;    // UTF-8
    std::string source;  // where it came from, for messages: "--password" or the file's path
};

struct TPackRequest {
    TPackOptions options;
    TPackInputList inputs;
    TPasswordRequest password;
    int codePage = kDefaultCodePage;
    bool strict = false;
    bool addSession = false;      // the stub may hold sessions already
    bool stripSignature = false;  // a signed stub is packed without its signature, not refused
};

// Checks the request and makes its inputs ready to pack: names and tags in the code
// page, the project ini in the code page and carrying the password's hash, which is
// returned (0 without a password) for the check of the written show.
uint32_t CheckPackRequest(TPackRequest& request);

}  // namespace quindle::pack
