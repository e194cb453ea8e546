#include "projector/api/file_dialog_buffer.h"

#include <algorithm>
#include <string>

namespace kestrel {

std::vector<char> MakeFileNameBuffer(std::size_t size, std::string_view defaultName) {
    std::vector<char> buffer(size, '\0');
    if (size < 2) return buffer;
    std::size_t count = std::min(defaultName.size(), size - 2);
    // A name with a zero inside ends there, as the dialog would read it.
    count = std::min(count, defaultName.find('\0'));
    std::copy_n(defaultName.data(), count, buffer.data());
    return buffer;
}

std::vector<std::string> ReadChosenFiles(const std::vector<char>& buffer) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at < buffer.size() && buffer[at] != '\0') {
        std::size_t end = at;
        while (end < buffer.size() && buffer[end] != '\0') ++end;
        parts.emplace_back(buffer.data() + at, end - at);
        at = end + 1;
    }
    if (parts.size() <= 1) return parts;
    // A folder, then names: the first name becomes a full path.
    std::string folder = parts[0];
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::vector<std::string> files;
    files.push_back(folder + parts[1]);
    files.insert(files.end(), parts.begin() + 2, parts.end());
    return files;
}

}  // namespace kestrel
