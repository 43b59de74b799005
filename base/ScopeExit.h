// Runs an action when the scope ends, unless it ran early, so that a step that must
// follow another (unlock, redraw, re-parent, end the cycle) also happens on an early
// return or an exception.
#pragma once

#include <utility>

namespace quindle {

template <typename Action>
class TScopeExit {
public:
    explicit TScopeExit(Action action) : action_(std::move(action)) {}
    ~TScopeExit() {
        if (armed_) action_();
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    // Runs the action now instead of at the end of the scope.
    void Run() {
        if (armed_) {
            armed_ = false;
            action_();
        }
    }

private:
    Action action_;
    bool armed_ = true;
};

}  // namespace quindle
