#include "common/settings_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <pugixml.hpp>

#include "common/ascii_case.h"
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

enum class AttributeKind { Text, Path, Flag, Int, UInt, Word };

// One attribute: its name, how its value is read and where it is stored.
struct AttributeRule {
    const char* name;
    AttributeKind kind;
    std::string WindowDefinition::*text = nullptr;
    bool WindowDefinition::*flag = nullptr;
    int32_t WindowDefinition::*number = nullptr;
    uint32_t WindowDefinition::*unsignedNumber = nullptr;
    void (*setWord)(WindowDefinition&, const std::string&) = nullptr;
};

AttributeRule Text(const char* name, std::string WindowDefinition::*field) {
    AttributeRule rule{name, AttributeKind::Text};
    rule.text = field;
    return rule;
}
AttributeRule Path(const char* name, std::string WindowDefinition::*field) {
    AttributeRule rule{name, AttributeKind::Path};
    rule.text = field;
    return rule;
}
AttributeRule Flag(const char* name, bool WindowDefinition::*field) {
    AttributeRule rule{name, AttributeKind::Flag};
    rule.flag = field;
    return rule;
}
AttributeRule Int(const char* name, int32_t WindowDefinition::*field) {
    AttributeRule rule{name, AttributeKind::Int};
    rule.number = field;
    return rule;
}
AttributeRule UInt(const char* name, uint32_t WindowDefinition::*field) {
    AttributeRule rule{name, AttributeKind::UInt};
    rule.unsignedNumber = field;
    return rule;
}
template <typename Enum, Enum WindowDefinition::*Field>
AttributeRule Word(const char* name) {
    AttributeRule rule{name, AttributeKind::Word};
    // An unknown word leaves the field as it is.
    rule.setWord = [](WindowDefinition& window, const std::string& value) {
        ParseWord(value, &(window.*Field));
    };
    return rule;
}

using W = WindowDefinition;

// Read in this order; the writer writes them in the same order.
const AttributeRule kAttributeRules[] = {
    Path("swf", &W::moviePath),
    Text("window_name", &W::name),
    Text("window_title", &W::title),
    Word<WindowType, &W::type>("window_type"),
    Path("mask", &W::maskPath),
    Word<WindowStyle, &W::style>("window_style"),
    Flag("window_has_maximize", &W::hasMaximize),
    Flag("window_has_minimize", &W::hasMinimize),
    Flag("window_has_close", &W::hasClose),
    Flag("window_is_resizable", &W::resizable),
    Flag("window_is_visible", &W::visible),
    Flag("window_has_menu", &W::hasMenu),
    Word<WindowSizeMode, &W::sizeMode>("window_size"),
    Word<WindowPositionMode, &W::positionMode>("window_position"),
    Int("window_x", &W::x),
    Int("window_y", &W::y),
    Int("window_width", &W::width),
    Int("window_height", &W::height),
    Int("window_width_percent", &W::widthPercent),
    Int("window_height_percent", &W::heightPercent),
    Flag("window_fullscreen", &W::fullScreen),
    Word<MouseAction, &W::leftMouseAction>("left_mouse_action"),
    Word<MouseAction, &W::rightMouseAction>("right_mouse_action"),
    Flag("exit_on_escape", &W::exitOnEscape),
    Flag("use_flash_bgcolor", &W::useBackgroundColor),
    UInt("flash_bgcolor", &W::backgroundColor),
    Word<FlashQuality, &W::quality>("flash_quality"),
    Word<FlashScale, &W::scale>("flash_scale"),
    Flag("flash_show_menu", &W::showFlashMenu),
    Flag("flash_loop_movie", &W::loopMovie),
};

void Apply(const AttributeRule& rule, WindowDefinition& window, const std::string& value,
           const std::string& unpackFolder) {
    switch (rule.kind) {
        case AttributeKind::Text:
            window.*rule.text = value;
            break;
        case AttributeKind::Path:
            window.*rule.text = JoinPath(unpackFolder, value);
            break;
        case AttributeKind::Flag:
            window.*rule.flag = ParseFlag(value);
            break;
        case AttributeKind::Int:
            window.*rule.number = ParseDecimalInt(value);
            break;
        case AttributeKind::UInt:
            window.*rule.unsignedNumber = ParseDecimalUInt(value);
            break;
        case AttributeKind::Word:
            rule.setWord(window, value);
            break;
    }
}

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

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
        if (attribute) Apply(rule, *window, DecodeAttributeText(attribute.value()), unpackFolder);
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
        case SettingsError::None:
            return "no error";
        case SettingsError::CannotParse:
            return "settings document cannot be parsed";
        case SettingsError::NoFirstNode:
            return "settings document is empty";
        case SettingsError::NoChildList:
            return "settings document has no contents";
    }
    return "unknown settings error";
}

std::string DecodeAttributeText(const std::string& raw) {
    static const struct {
        const char* entity;
        char byte;
    } kEntities[] = {
        {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};

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
    return AsciiEqualsIgnoringCase(text, "true");
}

bool ApplyWindowAttribute(WindowDefinition* definition, const std::string& name,
                          const std::string& value, const std::string& unpackFolder) {
    for (const AttributeRule& rule : kAttributeRules) {
        if (name == rule.name) {
            Apply(rule, *definition, value, unpackFolder);
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
