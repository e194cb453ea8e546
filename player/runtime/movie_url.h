// The movie's URL as _url shows it, from the location the host gave.
#pragma once

#include <string>

namespace kestrel::runtime {

// A URL with a scheme ("http://...", "file:///...") stays as given. An absolute file path
// becomes a file URL the way Flash writes one: "C:\dir\a b.swf" gives
// "file:///C|/dir/a%20b.swf", "/home/a.swf" gives "file:///home/a.swf". Anything else
// (a relative path) stays as given.
std::string MovieUrlFrom(const std::string& location);

}  // namespace kestrel::runtime
