// Reads the settings document ("sk.dat") into window definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/window_definition.h"

namespace kestrel {

// Settings codes, shown to the user as "invalid settings: %d".
enum class SettingsError : int {
    None = 0,
    CannotParse = 1,  // the document could not be loaded or parsed
    NoFirstNode = 2,  // the document has no first child node
    NoChildList = 3,  // the outer element has no child nodes
};

const char* ToString(SettingsError error);

struct SettingsResult {
    SettingsError error = SettingsError::None;
    WindowDefinition mainWindow;  // defaults where the document says nothing
};

// Reads the document at `path`. "swf" and "mask" values become
// JoinPath(unpackFolder, value). Text values are decoded by
// DecodeAttributeText; numbers, flags and words as the attribute table says.
SettingsResult ReadSettingsDocument(const std::string& path, const std::string& unpackFolder);
SettingsResult ReadSettingsDocumentFromMemory(const void* data, size_t size,
                                              const std::string& unpackFolder);

// Sets the field of `definition` named by the attribute `name` from its
// decoded text `value`. Returns false for an unknown attribute name. A word
// that matches no word of its attribute leaves the field unchanged.
bool ApplyWindowAttribute(WindowDefinition* definition, const std::string& name,
                          const std::string& value, const std::string& unpackFolder);

// Decodes an attribute value as written: &quot; &apos; &amp; &lt; &gt; and
// "&#x" hex digits ";" (one byte: the number's low 8 bits). Any other
// ampersand, including "&#x" without digits or without ";", is kept as is.
std::string DecodeAttributeText(const std::string& raw);

// C atol semantics on 32 bits: leading white space, an optional sign,
// decimal digits up to the first other character; no digits gives 0.
// Values beyond the range saturate.
int32_t ParseDecimalInt(const std::string& text);
// The same for an unsigned value: the range is [-2147483648, 4294967295],
// saturating beyond it, and the result is the value's low 32 bits ("-1" gives
// 4294967295).
uint32_t ParseDecimalUInt(const std::string& text);
// True exactly when `text` equals "true" ignoring case.
bool ParseFlag(const std::string& text);

}  // namespace kestrel
