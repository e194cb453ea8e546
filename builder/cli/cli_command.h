// kestrel-cli: the builder's export and a few project and projector tools
// for build pipelines, as a function so tests can run it in-process.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestrel::cli {

// Exit codes, documented in "kestrel-cli --help".
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // the command ran and failed (a message says why)
    kExitUsage = 2,   // unknown command or option, missing argument
    kExitExists = 3,  // an output exists and --overwrite was not given
};

struct Console {
    std::function<void(const std::string&)> out;  // results
    std::function<void(const std::string&)> err;  // messages and progress
};

// `args` without the program name.
int RunCli(const std::vector<std::string>& args, const Console& console);

// Pieces of the commands (one file each).
int RunExportCommand(const std::vector<std::string>& args, const Console& console);
int RunNewCommand(const std::vector<std::string>& args, const Console& console);
int RunSetCommand(const std::vector<std::string>& args, const Console& console);
int RunInfoCommand(const std::vector<std::string>& args, const Console& console);
int RunListCommand(const std::vector<std::string>& args, const Console& console);
int RunUnpackCommand(const std::vector<std::string>& args, const Console& console);

// A path given on the command line, made absolute against the current
// folder (the builder's own rule would take the program folder).
std::string CommandLinePath(const std::string& path);

// Writes "kestrel-cli: " + message + line end to the error stream; returns `code`.
int Report(const Console& console, int code, const std::string& message);

bool WantsHelp(const std::vector<std::string>& args);

}  // namespace kestrel::cli
