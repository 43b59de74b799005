// The file access the session extractor needs, behind a small seam: a Win32
// implementation for the runner and a POSIX one for native tests and quindle-pack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/Text.h"

namespace quindle {

// Bytes of the archive mapped into memory, read-only; unmapped when destroyed.
class IArchiveView {
public:
    virtual ~IArchiveView() = default;
    virtual const uint8_t* Data() const = 0;
};

// The archive, opened for reading while other processes may read and write it
// (the running executable is open already).
class IArchiveReader {
public:
    virtual ~IArchiveReader() = default;
    virtual uint64_t Size() = 0;
    // Positions beyond the end are allowed; reads there deliver nothing.
    virtual void Seek(uint64_t position) = 0;
    // Delivers fewer than count bytes only at the end of the file; throws
    // "Stream read error" when the system refuses the read.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // count bytes from position mapped into memory, sparing a copy of large entries; null
    // where the system gives no such view (the range passes the end of the file, no
    // address space is left, a reader that has no file): the caller reads instead.
    virtual std::unique_ptr<IArchiveView> View(uint64_t, size_t) { return nullptr; }
};

// A destination file, open for exclusive writing; destroying it closes the file.
class IArchiveWriter {
public:
    virtual ~IArchiveWriter() = default;
    // Writes everything or throws "Stream write error" (disk full).
    virtual void Write(const void* data, size_t count) = 0;
    // Last-write time as a FILETIME (100 ns units since 1601-01-01 UTC); creation
    // and last-access times stay as they are. False when the system refused.
    virtual bool SetLastWriteTime(uint64_t fileTime) = 0;
};

// Paths are the runner's Windows-style strings. The POSIX implementation takes
// every "\" as a separator (so Dir + name from the extractor works as is); a file
// whose POSIX name holds a backslash cannot be reached through it.
// Its code page is the one entry names are in (the system's ANSI code page on Windows).
class IArchiveFileSystem : public ILeadBytes {
public:
    virtual ~IArchiveFileSystem() = default;
    // Throws "Cannot open file " + path.
    virtual std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) = 0;
    // Replaces an existing file. Throws "Cannot create file " + path.
    virtual std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Full path of the running program's own executable file.
    virtual std::string OwnExecutablePath() = 0;
};

}  // namespace quindle
