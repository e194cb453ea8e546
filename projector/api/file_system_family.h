// The "FileSystem." family: files and folders, listings, sizes and dates,
// special folders, and the numbered "File." objects (names that begin with
// "File." go there first).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/file_object_family.h"
#include "projector/api/file_system_host.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {

class FileSystemFamily : public ApiFamily {
  public:
    explicit FileSystemFamily(FileSystemHost& host) : host_(host), files_(host) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    // Every method name in dispatch order, the "File." ones included.
    static std::vector<std::string> MethodNames();

  private:
    FileSystemHost& host_;
    FileObjectFamily files_;
};

// Calendar fields of a file time (100-ns ticks since 1601-01-01), in UTC.
XmlDateParts DatePartsOfFileTime(std::uint64_t ticks);

// "saveFileHEX": an odd-length text's first digit alone is the first byte;
// the rest pair up, high digit first; characters that are no hex digit count as 0.
std::string BytesOfHexText(std::string_view hex);
// What the C library's text mode writes for `text`: every newline as CR LF.
std::string TextModeBytes(std::string_view text);

}  // namespace kestrel
