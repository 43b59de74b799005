// The dialogs' bold font.
#include "window/win32/GdiObjects.h"

namespace quindle {

TUniqueFont CreateBoldDialogFont() {
    return TUniqueFont(::CreateFontA(12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif"));
}

}  // namespace quindle
