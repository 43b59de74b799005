// Steps that must all run even when one of them fails: each failure is caught, the
// first one is kept, and it is raised once every step has had its turn. Used by the
// show's start-up and clean-up, the settings pass, the hook removal, the dialogs'
// procedures and the runner window procedure's parked exception.
#pragma once

#include <exception>
#include <utility>

namespace quindle {

class TFirstFailure {
public:
    // Runs step; an exception it throws is kept when it is the first, and the caller goes
    // on. False when step failed.
    template <typename Step>
    bool Run(Step&& step) noexcept {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (...) {
            Keep(std::current_exception());
            return false;
        }
    }

    // Keeps error unless an earlier one is kept already.
    void Keep(std::exception_ptr error) noexcept {
        if (!first_) first_ = std::move(error);
    }

    // Raises the first error kept, if any, and forgets it.
    void RethrowFirst() {
        if (first_) std::rethrow_exception(std::exchange(first_, nullptr));
    }

private:
    std::exception_ptr first_;
};

}  // namespace quindle
