// Progress bar drawing: redrawn when the whole percentage changes.
#include "tools/pack/Progress.h"

#include <cstdio>

#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace {
constexpr uint64_t kLargeJob = 16u << 20;
constexpr int kWidth = 40;
}  // namespace

TProgressBar::TProgressBar(const std::string& what, uint64_t total)
    : what_(what), total_(total), active_(total >= kLargeJob && StderrIsTerminal()) {}

TProgressBar::~TProgressBar() {
    if (active_ && shown_ >= 0) std::fputc('\n', stderr);
}

void TProgressBar::Update(uint64_t done) {
    if (!active_) return;
    const int percent = int(total_ ? (done >= total_ ? 100 : done * 100 / total_) : 100);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", what_.c_str(), std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kWidth - filled), ' ').c_str(), percent);
    std::fflush(stderr);
}

}  // namespace quindle::pack
