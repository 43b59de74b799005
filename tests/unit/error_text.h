// The text of the error an action raises, as the user would read it in its box;
// "(no error)" when it raises none.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace quindle::testing {

template <class Error = std::runtime_error>
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace quindle::testing
