// A one-line progress bar on stderr, drawn only on a terminal and for large jobs.
#pragma once

#include <cstdint>
#include <string>

namespace quindle::pack {

class TProgressBar {
public:
    // Nothing is drawn for jobs under 16 MiB or when stderr is not a terminal.
    TProgressBar(const std::string& what, uint64_t total);
    ~TProgressBar();
    void Update(uint64_t done);

private:
    std::string what_;
    uint64_t total_;
    bool active_;
    int shown_ = -1;
};

}  // namespace quindle::pack
