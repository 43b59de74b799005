// Window procedures must not let a C++ exception cross the system's dispatch code: they
// park it here and the message pump raises it again once DispatchMessage has returned.
// Used by the runner window procedure and by the pump; the dialogs keep their own
// procedures' errors until their Run returns.
#pragma once

#include <exception>

namespace quindle {

// Keeps the first error until it is raised.
void ParkException(std::exception_ptr error);
void RaiseParkedException();

}  // namespace quindle
