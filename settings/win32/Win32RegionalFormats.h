// The user's regional conventions on Windows, for the ini component.
#pragma once

#include "settings/RegionalFormats.h"

namespace quindle {

// Reads the user's locale once, at first use.
const IRegionalFormats& SystemRegionalFormats();

}  // namespace quindle
