// The "File." objects of the "FileSystem." family: numbered objects that each
// hold at most one open stream. The objects belong to the window's API object,
// so every stream still open is closed when that object goes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/file_system_host.h"

namespace kestrel {

// True for the C library modes a stream may be opened with: "r", "w" or "a",
// then any of "+", "b", "t" at most once each, never both "b" and "t". Other
// letters would stop the C library's open with an invalid-parameter fault.
bool IsValidStreamMode(std::string_view mode);

class FileObjectFamily {
  public:
    explicit FileObjectFamily(FileSystemHost& host) : host_(host) {}  // not owned

    // `method` is the name after "File.".
    ApiResult Call(std::string_view method, const ApiArguments& arguments);

    // The method names in dispatch order.
    static std::vector<std::string_view> MethodNames();

  private:
    FileSystemHost& host_;
    // Objects are never removed; "close" only closes the stream.
    std::map<std::int32_t, std::unique_ptr<FileStream>> objects_;
};

}  // namespace kestrel
