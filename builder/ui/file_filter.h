// The filter list of the open and save dialogs, and the table of known file
// types that names each pattern.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestrel {

// The description of a pattern such as "*.swf"; empty when it is not known.
std::string KnownFileTypeDescription(const std::string& pattern);

class FileFilter {
  public:
    FileFilter() = default;
    // Convenience: each pattern in order, then "All Files (*.*)" when asked.
    FileFilter(std::initializer_list<const char*> patterns, bool allFiles);

    // Described from the table of known file types; a pattern that is not
    // there describes itself.
    FileFilter& Add(const std::string& pattern);
    FileFilter& Add(const std::string& description, const std::string& pattern);
    FileFilter& AddAllFiles();

    // (description, pattern) pairs; without entries the single pair
    // ("All Files(*.*)", "*.*").
    std::vector<std::pair<std::string, std::string>> Entries() const;
    // The common dialogs' form: "desc\0pattern\0...\0\0".
    std::string DialogString() const;

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace kestrel
