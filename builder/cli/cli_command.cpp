#include "builder/cli/cli_command.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include <map>

#include "builder/project_paths.h"
#include "common/file_system.h"

namespace kestrel::cli {

namespace {

const char kUsage[] =
    "usage: kestrel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands (kestrel-cli COMMAND --help tells more):\n"
    "  export PROJECT.kstl [--output-folder DIR] [--stub skylet.exe]\n"
    "                      [--plugin FILE.dll] [--overwrite]\n"
    "                             build every output the project ticks\n"
    "  new PROJECT.kstl MOVIE.swf make a project with one window sized from the movie\n"
    "  set PROJECT.kstl [--window N] KEY=VALUE...\n"
    "                             change settings by their project file names\n"
    "  info MOVIE.swf             show a movie's header\n"
    "  list PROJECTOR.exe         list what a projector carries\n"
    "  unpack PROJECTOR.exe DIR   unpack a projector's payload into DIR\n"
    "\n"
    "Exit codes:\n"
    "  0  success\n"
    "  1  the command failed (the message names the file at fault)\n"
    "  2  usage error: unknown command or option, missing argument\n"
    "  3  an output exists and --overwrite was not given\n";

}  // namespace

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

int Report(const Console& console, int code, const std::string& message) {
    console.err("kestrel-cli: " + message + "\n");
    return code;
}

std::string CommandLinePath(const std::string& path) {
    if (path.empty() || IsAbsolutePath(path)) return path;
    char buffer[4096];
#ifdef _WIN32
    const char* folder = _getcwd(buffer, sizeof buffer);
#else
    const char* folder = getcwd(buffer, sizeof buffer);
#endif
    return folder ? JoinPath(folder, path) : path;
}

int RunCli(const std::vector<std::string>& args, const Console& console) {
    using Command = int (*)(const std::vector<std::string>&, const Console&);
    static const std::map<std::string, Command> kCommands = {
        {"export", RunExportCommand}, {"new", RunNewCommand},   {"set", RunSetCommand},
        {"info", RunInfoCommand},     {"list", RunListCommand}, {"unpack", RunUnpackCommand},
    };
    if (args.empty()) {
        console.err(kUsage);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        console.out(kUsage);
        return kExitOk;
    }
    auto command = kCommands.find(args[0]);
    if (command == kCommands.end()) {
        return Report(console, kExitUsage,
                      "unknown command \"" + args[0] + "\" (see kestrel-cli --help)");
    }
    return command->second(std::vector<std::string>(args.begin() + 1, args.end()), console);
}

}  // namespace kestrel::cli
