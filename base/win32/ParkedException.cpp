// The one parked exception of the runner's thread.
#include "base/win32/ParkedException.h"

#include <utility>

#include "base/FirstFailure.h"

namespace quindle {

namespace {
TFirstFailure parked;
}

void ParkException(std::exception_ptr error) { parked.Keep(std::move(error)); }

void RaiseParkedException() { parked.RethrowFirst(); }

}  // namespace quindle
