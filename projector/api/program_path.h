// Paths the movie gives are resolved against the folder of the projector
// program, so a movie can name files that travel beside it.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// An empty path stays empty, an absolute path ("C:\...", "\\server\...",
// "\...") stays as it is, a relative path is joined to the program's folder.
std::string ResolveAgainstProgram(std::string_view path, std::string_view programPath);

// The program's full path without its last component and without a trailing
// backslash ("C:\Apps\Show\movie.exe" gives "C:\Apps\Show").
std::string FolderOfProgram(std::string_view programPath);

}  // namespace kestrel
