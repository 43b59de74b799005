// The runner window's message table.
#include "window/win32/MessageTable.h"

#include <algorithm>

namespace quindle {

void TMessageTable::Add(UINT message, TMessageHandler handler) {
    Remove(message);
    rows_.emplace_back(message, std::move(handler));
}

void TMessageTable::Remove(UINT message) {
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(), [message](const auto& row) { return row.first == message; }),
                rows_.end());
}

bool TMessageTable::Dispatch(TMessage& m) const {
    for (const auto& row : rows_) {
        if (row.first == m.Msg) {
            // A copy: the handler may replace or remove its own row.
            const TMessageHandler handler = row.second;
            handler(m);
            return true;
        }
    }
    return false;
}

}  // namespace quindle
