// What quindle-pack needs of the host beyond the extractor's file seam: the
// platform's seam itself, file times, directories, terminals.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <optional>
#include <utility>

#include "package/ArchiveFiles.h"
#include "package/RunDirFiles.h"

namespace quindle::pack {

std::unique_ptr<IArchiveFileSystem> MakeHostFileSystem();
std::unique_ptr<IRunDirFiles> MakeHostRunDirFiles();

// What makes a file itself whatever its path is spelled: device and inode, or on
// Windows the volume serial number and the file index. None when the file is missing.
using TFileIdentity = std::pair<uint64_t, uint64_t>;
std::optional<TFileIdentity> FileIdentity(const std::string& path);

// The system's temporary folder with a trailing separator, as the runner's settings
// pass takes it.
std::string TemporaryFolder();

// A file's last-write time as a FILETIME.
uint64_t LastWriteFileTime(const std::string& path);

// The absolute directory holding path, Windows style with a trailing backslash, as an
// entry records it.
std::string SourceDirectoryOf(const std::string& path);

// A name stored in the show's code page as the host writes it: UTF-8 on POSIX; on
// Windows the bytes as they are, for the system's ANSI functions.
std::string HostFileName(const std::string& stored, int codePage);

// A path of the extractor's (backslashes) as the host's own file functions take it.
std::string HostPath(const std::string& path);

// A file or folder at path ("\" counts as a separator everywhere).
bool HostPathExists(const std::string& path);

// Moves from over to, replacing a file there; throws "Cannot create file " + to.
void MoveReplacing(const std::string& from, const std::string& to);

// Creates a directory and its parents; "\" counts as a separator everywhere.
void MakeDirectories(const std::string& path);

bool StderrIsTerminal();

// The command line's arguments as UTF-8 text: on Windows from the wide command line the
// system keeps, elsewhere argv as it is.
std::vector<std::string> ArgumentTexts(int argc, char** argv);

}  // namespace quindle::pack
