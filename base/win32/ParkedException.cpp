// The one parked exception of the runner's thread.
#include "base/win32/ParkedException.h"

#include <utility>

namespace quindle {

namespace {
std::exception_ptr parkedException;
}

void ParkException(std::exception_ptr error) {
    if (!parkedException) parkedException = std::move(error);
}

void RaiseParkedException() {
    if (parkedException) {
        std::exception_ptr error = std::move(parkedException);
        parkedException = nullptr;
        std::rethrow_exception(error);
    }
}

}  // namespace quindle
