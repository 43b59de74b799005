// A position in the archive over an IArchiveReader: seeks only when a read follows
// a jump, so sequential reads cost one system call each.
#pragma once

#include <cstdint>

#include "package/ArchiveFiles.h"

namespace quindle {

class TArchiveCursor {
public:
    TArchiveCursor(IArchiveReader& archive, uint64_t position) : archive_(archive), position_(position) {}

    uint64_t Position() const { return position_; }
    void Seek(uint64_t position) {
        if (position != position_) moved_ = true;
        position_ = position;
    }
    // Fewer bytes only at the end of the file.
    size_t Read(void* buffer, size_t count) {
        if (moved_) archive_.Seek(position_);
        moved_ = false;
        size_t got = 0;
        while (got < count) {
            size_t n = archive_.Read(static_cast<char*>(buffer) + got, count - got);
            if (n == 0) break;
            got += n;
        }
        position_ += got;
        return got;
    }
    // The next count bytes mapped into memory (null where the reader maps none, the
    // position unchanged then); past them on success.
    std::unique_ptr<IArchiveView> View(size_t count) {
        std::unique_ptr<IArchiveView> view = archive_.View(position_, count);
        if (view) Seek(position_ + count);
        return view;
    }

private:
    IArchiveReader& archive_;
    uint64_t position_;
    bool moved_ = true;
};

}  // namespace quindle
