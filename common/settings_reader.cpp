#include "common/settings_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <pugixml.hpp>

#include "common/binary_file.h"
#include "common/file_system.h"

namespace kestrel {

namespace {

// Additional windows nest only by hand-made documents; deeper levels are
// ignored so the recursion's stack use stays small.
constexpr int kMaxWindowDepth = 16;

// Elements and attributes only, values exactly as written: no entity or
// reference decoding (DecodeAttributeText does that, byte-wise), no line-end
// or white-space normalisation.
constexpr unsigned kParseOptions = pugi::parse_minimal;

using ApplyFunction = void (*)(WindowDefinition&, const std::string& value,
                               const std::string& unpackFolder);

struct AttributeRule {
    const char* name;
    ApplyFunction apply;
};

template <typename Enum>
void SetWord(Enum* field, const std::string& value) {
    ParseWord(value, field);  // an unknown word leaves the field as it is
}

// Read in this order; the writer writes them in the same order.
const AttributeRule kAttributeRules[] = {
    {"swf", [](WindowDefinition& w, const std::string& v, const std::string& folder) { w.moviePath = JoinPath(folder, v); }},
    {"window_name", [](WindowDefinition& w, const std::string& v, const std::string&) { w.name = v; }},
    {"window_title", [](WindowDefinition& w, const std::string& v, const std::string&) { w.title = v; }},
    {"window_type", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.type, v); }},
    {"mask", [](WindowDefinition& w, const std::string& v, const std::string& folder) { w.maskPath = JoinPath(folder, v); }},
    {"window_style", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.style, v); }},
    {"window_has_maximize", [](WindowDefinition& w, const std::string& v, const std::string&) { w.hasMaximize = ParseFlag(v); }},
    {"window_has_minimize", [](WindowDefinition& w, const std::string& v, const std::string&) { w.hasMinimize = ParseFlag(v); }},
    {"window_has_close", [](WindowDefinition& w, const std::string& v, const std::string&) { w.hasClose = ParseFlag(v); }},
    {"window_is_resizable", [](WindowDefinition& w, const std::string& v, const std::string&) { w.resizable = ParseFlag(v); }},
    {"window_is_visible", [](WindowDefinition& w, const std::string& v, const std::string&) { w.visible = ParseFlag(v); }},
    {"window_has_menu", [](WindowDefinition& w, const std::string& v, const std::string&) { w.hasMenu = ParseFlag(v); }},
    {"window_size", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.sizeMode, v); }},
    {"window_position", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.positionMode, v); }},
    {"window_x", [](WindowDefinition& w, const std::string& v, const std::string&) { w.x = ParseDecimalInt(v); }},
    {"window_y", [](WindowDefinition& w, const std::string& v, const std::string&) { w.y = ParseDecimalInt(v); }},
    {"window_width", [](WindowDefinition& w, const std::string& v, const std::string&) { w.width = ParseDecimalInt(v); }},
    {"window_height", [](WindowDefinition& w, const std::string& v, const std::string&) { w.height = ParseDecimalInt(v); }},
    {"window_width_percent", [](WindowDefinition& w, const std::string& v, const std::string&) { w.widthPercent = ParseDecimalInt(v); }},
    {"window_height_percent", [](WindowDefinition& w, const std::string& v, const std::string&) { w.heightPercent = ParseDecimalInt(v); }},
    {"window_fullscreen", [](WindowDefinition& w, const std::string& v, const std::string&) { w.fullScreen = ParseFlag(v); }},
    {"left_mouse_action", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.leftMouseAction, v); }},
    {"right_mouse_action", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.rightMouseAction, v); }},
    {"exit_on_escape", [](WindowDefinition& w, const std::string& v, const std::string&) { w.exitOnEscape = ParseFlag(v); }},
    {"use_flash_bgcolor", [](WindowDefinition& w, const std::string& v, const std::string&) { w.useBackgroundColor = ParseFlag(v); }},
    {"flash_bgcolor", [](WindowDefinition& w, const std::string& v, const std::string&) { w.backgroundColor = ParseDecimalUInt(v); }},
    {"flash_quality", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.quality, v); }},
    {"flash_scale", [](WindowDefinition& w, const std::string& v, const std::string&) { SetWord(&w.scale, v); }},
    {"flash_show_menu", [](WindowDefinition& w, const std::string& v, const std::string&) { w.showFlashMenu = ParseFlag(v); }},
    {"flash_loop_movie", [](WindowDefinition& w, const std::string& v, const std::string&) { w.loopMovie = ParseFlag(v); }},
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// atol's grammar; values beyond [minValue, maxValue] saturate instead of
// overflowing.
int64_t ParseDecimal(const std::string& text, int64_t maxValue, int64_t minValue) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t magnitude = 0;
    const int64_t cap = std::max(maxValue, -minValue);
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= cap) magnitude = magnitude * 10 + (text[i] - '0');
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > maxValue) return maxValue;
    if (value < minValue) return minValue;
    return value;
}

void ReadWindow(const pugi::xml_node& element, WindowDefinition* window,
                const std::string& unpackFolder, int depth) {
    for (const AttributeRule& rule : kAttributeRules) {
        pugi::xml_attribute attribute = element.attribute(rule.name);
        if (attribute) rule.apply(*window, DecodeAttributeText(attribute.value()), unpackFolder);
    }
    if (depth >= kMaxWindowDepth) return;
    for (pugi::xml_node subData : element.children("sub_data")) {
        for (pugi::xml_node child : subData.children("window")) {
            window->additionalWindows.emplace_back();
            ReadWindow(child, &window->additionalWindows.back(), unpackFolder, depth + 1);
        }
    }
}

}  // namespace

const char* ToString(SettingsError error) {
    switch (error) {
        case SettingsError::None: return "no error";
        case SettingsError::CannotParse: return "settings document cannot be parsed";
        case SettingsError::NoFirstNode: return "settings document is empty";
        case SettingsError::NoChildList: return "settings document has no contents";
    }
    return "unknown settings error";
}

std::string DecodeAttributeText(const std::string& raw) {
    static const struct {
        const char* entity;
        char byte;
    } kEntities[] = {{"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};

    std::string out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        if (raw[i] != '&') {
            out += raw[i++];
            continue;
        }
        bool decoded = false;
        for (const auto& named : kEntities) {
            size_t length = std::strlen(named.entity);
            if (raw.compare(i, length, named.entity) == 0) {
                out += named.byte;
                i += length;
                decoded = true;
                break;
            }
        }
        if (!decoded && raw.compare(i, 3, "&#x") == 0) {
            // One or more hex digits and ";"; the number's low 8 bits are kept.
            size_t j = i + 3;
            unsigned value = 0;
            while (j < raw.size() && HexDigit(raw[j]) >= 0) {
                value = (value * 16 + HexDigit(raw[j++])) & 0xFF;
            }
            if (j > i + 3 && j < raw.size() && raw[j] == ';') {
                out += static_cast<char>(value);
                i = j + 1;
                decoded = true;
            }
        }
        if (!decoded) out += raw[i++];  // kept as written
    }
    return out;
}

int32_t ParseDecimalInt(const std::string& text) {
    return static_cast<int32_t>(ParseDecimal(text, std::numeric_limits<int32_t>::max(),
                                             std::numeric_limits<int32_t>::min()));
}

uint32_t ParseDecimalUInt(const std::string& text) {
    // Negative values keep their 32-bit pattern, as a signed read stored
    // into an unsigned field would; large unsigned values stay exact.
    return static_cast<uint32_t>(ParseDecimal(text, std::numeric_limits<uint32_t>::max(),
                                              std::numeric_limits<int32_t>::min()));
}

bool ParseFlag(const std::string& text) {
    if (text.size() != 4) return false;
    const char* word = "true";
    for (size_t i = 0; i < 4; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

bool ApplyWindowAttribute(WindowDefinition* definition, const std::string& name,
                          const std::string& value, const std::string& unpackFolder) {
    for (const AttributeRule& rule : kAttributeRules) {
        if (name == rule.name) {
            rule.apply(*definition, value, unpackFolder);
            return true;
        }
    }
    return false;
}

SettingsResult ReadSettingsDocumentFromMemory(const void* data, size_t size,
                                              const std::string& unpackFolder) {
    SettingsResult result;
    pugi::xml_document document;
    // Parsed as 8-bit text as it stands: bytes above 0x7F stay the same bytes.
    if (!document.load_buffer(data, size, kParseOptions, pugi::encoding_utf8)) {
        result.error = SettingsError::CannotParse;
        return result;
    }
    pugi::xml_node outer = document.first_child();
    if (!outer) {
        result.error = SettingsError::NoFirstNode;
        return result;
    }
    if (!outer.first_child()) {
        result.error = SettingsError::NoChildList;
        return result;
    }
    // Every "window" of every "windows" is read into the one main window.
    for (pugi::xml_node windows : outer.children("windows")) {
        for (pugi::xml_node window : windows.children("window")) {
            ReadWindow(window, &result.mainWindow, unpackFolder, 0);
        }
    }
    return result;
}

SettingsResult ReadSettingsDocument(const std::string& path, const std::string& unpackFolder) {
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    std::string bytes;
    if (size < 0 || static_cast<uint64_t>(size) > std::numeric_limits<size_t>::max() / 2 ||
        !file.seek(0)) {
        SettingsResult result;
        result.error = SettingsError::CannotParse;
        return result;
    }
    bytes.resize(static_cast<size_t>(size));
    if (!file.readExactly(&bytes[0], bytes.size())) {
        SettingsResult result;
        result.error = SettingsError::CannotParse;
        return result;
    }
    return ReadSettingsDocumentFromMemory(bytes.data(), bytes.size(), unpackFolder);
}

}  // namespace kestrel
