// Writes the settings document ("sk.dat") for a main window definition and
// its additional windows: fixed text, LF line ends, every attribute in its
// fixed order.
#pragma once

#include <string>

#include "common/window_definition.h"

namespace kestrel {

// `moviePath` and `maskPath` are written as they are: the caller puts the
// names without folder there. A number that has no word writes "" for its
// word attribute.
std::string WriteSettingsDocument(const WindowDefinition& mainWindow);

}  // namespace kestrel
