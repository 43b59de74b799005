// What quindle-pack needs of the host beyond the extractor's file seam: the
// platform's seam itself, file times, directories, terminals.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "package/ArchiveFiles.h"

namespace quindle::pack {

std::unique_ptr<IArchiveFileSystem> MakeHostFileSystem();

// A file's last-write time as a FILETIME.
uint64_t LastWriteFileTime(const std::string& path);

// The absolute directory holding path, Windows style with a trailing backslash, as an
// entry records it.
std::string SourceDirectoryOf(const std::string& path);

// Creates a directory and its parents; "\" counts as a separator everywhere.
void MakeDirectories(const std::string& path);

bool StderrIsTerminal();

// The command line's arguments as UTF-8 text: on Windows from the wide command line the
// system keeps, elsewhere argv as it is.
std::vector<std::string> ArgumentTexts(int argc, char** argv);

}  // namespace quindle::pack
