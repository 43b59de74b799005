// The system's ANSI code page, through IsDBCSLeadByte.
#include "base/win32/SystemCodePage.h"

#include <windows.h>

namespace quindle {

namespace {

class TAnsiCodePage final : public ILeadBytes {
public:
    bool IsLeadByte(unsigned char c) const override { return ::IsDBCSLeadByte(c) != 0; }
};

}  // namespace

const ILeadBytes& SystemCodePage() {
    static const TAnsiCodePage codePage;
    return codePage;
}

}  // namespace quindle
