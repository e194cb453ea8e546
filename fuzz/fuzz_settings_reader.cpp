// Reads arbitrary bytes as a settings document. What it reads must survive a
// write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/settings_reader.h"
#include "common/settings_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    // An empty unpack folder leaves "swf" and "mask" as written.
    SettingsResult first = ReadSettingsDocumentFromMemory(data, size, "");
    if (first.error != SettingsError::None) return 0;
    std::string written = WriteSettingsDocument(first.mainWindow);
    // A NUL decoded from "&#x00;" cannot travel in an attribute value.
    if (written.find('\0') != std::string::npos) return 0;
    SettingsResult second = ReadSettingsDocumentFromMemory(written.data(), written.size(), "");
    if (second.error != SettingsError::None) std::abort();
    if (WriteSettingsDocument(second.mainWindow) != written) std::abort();
    return 0;
}
