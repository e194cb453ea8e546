// The kpack command as a function, so tests can run it in-process.
#pragma once

#include <string>
#include <vector>

namespace kestrel {

// `args` are the command's arguments without the program name (see
// "kpack --help"). Returns the exit code: 0 on success, 1 on failure after
// a message on stderr.
int RunKpack(const std::vector<std::string>& args);

}  // namespace kestrel
