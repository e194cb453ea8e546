// The attributes of a project file's window and data list elements: each
// name with how its value is written and read. The writer and the reader
// walk the same tables, in the file's order.
#pragma once

#include <string>
#include <vector>

#include "builder/project.h"

namespace kestrel {

template <typename Settings>
struct AttributeRule {
    const char* name;
    // Texts and paths are escaped when written; numbers, flags and words
    // never need it.
    bool escaped;
    // The value as written, before escaping (paths in absolute form).
    std::string (*format)(const Settings& settings);
    // Stores a decoded value directly, counting no change. A word that is
    // not in its enumeration leaves the field as it is.
    void (*store)(Settings& settings, const std::string& value);
};

// "swf" first: the reader sets the movie through WindowData::SetMovie
// instead of its store function.
const std::vector<AttributeRule<WindowSettings>>& WindowAttributes();
// Without "current_data", which is the current window's index.
const std::vector<AttributeRule<ProjectSettings>>& DataListAttributes();

}  // namespace kestrel
