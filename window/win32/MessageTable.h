// The runner window's message table: one row per message id, each row a handler. The
// runner adds a row for every message it handles; the coming parts add rows, not
// branches.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace quindle {

// A message as the runner window's handlers see it. A handler that sets Handled
// keeps the message from default processing and returns Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    bool Handled = false;
};

using TMessageHandler = std::function<void(TMessage&)>;

class TMessageTable {
public:
    // A second row for the same id replaces the first.
    void Add(UINT message, TMessageHandler handler);
    void Remove(UINT message);
    // Calls the row of m.Msg; false when there is none.
    bool Dispatch(TMessage& m) const;

private:
    std::vector<std::pair<UINT, TMessageHandler>> rows_;
};

}  // namespace quindle
