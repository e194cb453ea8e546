#include "common/payload_format.h"

#include "common/ascii_case.h"

namespace kestrel {

namespace {

// Names that Windows maps to devices in any folder, with or without an
// extension.
bool IsDosDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    stem = AsciiUppered(stem);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0)) {
        return stem[3] >= '1' && stem[3] <= '9';
    }
    return false;
}

}  // namespace

bool IsSafeItemName(const std::string& name) {
    if (name.empty() || name.size() > kMaxItemNameLength) return false;
    if (name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '\0') return false;
    }
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDosDeviceName(name);
}

}  // namespace kestrel
