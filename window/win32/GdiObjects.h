// Owners of the GDI objects the dialogs create (fonts and brushes), and the bold label
// font both dialogs use.
#pragma once

#include <windows.h>

#include "base/win32/Handles.h"

namespace quindle {

struct DeleteObjectFn {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using UniqueFont = UniqueResource<HFONT, nullptr, DeleteObjectFn>;
using UniqueBrush = UniqueResource<HBRUSH, nullptr, DeleteObjectFn>;

// "MS Sans Serif", 12 pixels high, bold; everything else the system's default.
UniqueFont CreateBoldDialogFont();

}  // namespace quindle
