// Owners of the GDI objects the dialogs create (fonts and brushes), and the bold label
// font both dialogs use.
#pragma once

#include <windows.h>

#include "base/win32/Handles.h"

namespace quindle {

struct TDeleteObject {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using TUniqueFont = TUniqueResource<HFONT, nullptr, TDeleteObject>;
using TUniqueBrush = TUniqueResource<HBRUSH, nullptr, TDeleteObject>;

// "MS Sans Serif", 12 pixels high, bold; everything else the system's default.
TUniqueFont CreateBoldDialogFont();

}  // namespace quindle
