// kestrel-cli info, list and unpack: look into movies and projectors.
#include <cstdio>
#include <cstdlib>

#include "builder/cli/cli_command.h"
#include "builder/export/export_plan.h"
#include "builder/export/output_files.h"
#include "builder/swf_header.h"
#include "common/file_system.h"
#include "common/payload_reader.h"

namespace kestrel::cli {

namespace {

const char kInfoHelp[] =
    "usage: kestrel-cli info MOVIE.swf\n"
    "\n"
    "Shows the movie's header: compression, version, stage size in pixels,\n"
    "frame rate and frame count.\n";

const char kListHelp[] =
    "usage: kestrel-cli list PROJECTOR.exe\n"
    "\n"
    "Lists what the projector carries (the settings document, movies, extra\n"
    "files, folders and masks) with their sizes, by unpacking it into a\n"
    "temporary folder with the projector's own reader, which is removed after.\n";

const char kUnpackHelp[] =
    "usage: kestrel-cli unpack PROJECTOR.exe DIR\n"
    "\n"
    "Unpacks the projector's payload into DIR (created when missing) exactly as\n"
    "the projector would at start-up: names it would refuse are skipped,\n"
    "nothing is written outside DIR.\n";

std::string TempFolder() {
    for (const char* variable : {"TMPDIR", "TEMP", "TMP"}) {
        if (const char* value = std::getenv(variable); value && *value) return value;
    }
    return "/tmp";
}

// Unpacks `projector` into `folder`; 0 or the reported exit code.
int Unpack(const std::string& projector, PayloadReader& reader, const Console& console) {
    PayloadError error = reader.open(projector);
    if (error == PayloadError::None) error = reader.scan();
    if (error == PayloadError::None) return kExitOk;
    return Report(console, kExitFailed,
                  "cannot unpack \"" + projector + "\": " + ToString(error) + " (" +
                      std::to_string(static_cast<int>(error)) + ")");
}

std::string Line(const char* kind, const std::string& name, uint64_t size) {
    return std::string(kind) + "\t" + std::to_string(size) + "\t" + name + "\n";
}

}  // namespace

int RunInfoCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kInfoHelp);
        return kExitOk;
    }
    if (args.size() != 1) return Report(console, kExitUsage, "info: give one MOVIE.swf");
    const std::string path = CommandLinePath(args[0]);
    SwfHeader header;
    if (!ReadSwfHeader(path, &header)) {
        return Report(console, kExitFailed,
                      "cannot read the movie header of \"" + path + "\"" +
                          (header.error == SwfHeaderError::None
                               ? std::string(": no such file")
                               : std::string(": ") + ToString(header.error)));
    }
    char text[512];
    std::snprintf(text, sizeof text,
                  "compressed: %s\nversion: %u\nfile length: %lu\nwidth: %d\nheight: %d\nframe "
                  "rate: %.1f fps\n"
                  "frame count: %u\n",
                  header.compressed ? "yes" : "no", static_cast<unsigned>(header.version),
                  static_cast<unsigned long>(header.fileLength), header.StageWidthPixels(),
                  header.StageHeightPixels(), static_cast<double>(header.frameRate),
                  static_cast<unsigned>(header.frameCount));
    console.out(text);
    return kExitOk;
}

int RunListCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kListHelp);
        return kExitOk;
    }
    if (args.size() != 1) return Report(console, kExitUsage, "list: give one PROJECTOR.exe");
    const std::string projector = CommandLinePath(args[0]);
    const std::string folder = MakeWorkFolder(TempFolder());
    if (folder.empty()) return Report(console, kExitFailed, "cannot create a temporary folder");
    int code;
    {
        PayloadReader reader(folder);
        code = Unpack(projector, reader, console);
        if (code == kExitOk) {
            std::string listing;
            auto relative = [&](const std::string& path) { return path.substr(folder.size() + 1); };
            uint64_t size = 0;
            std::string settings;
            if (reader.settingsPath(&settings) == PayloadError::None &&
                ReadableFileSize(settings, &size)) {
                listing += Line("settings", relative(settings), size);
            }
            for (const std::string& path : reader.filePaths()) {
                if (ReadableFileSize(path, &size)) listing += Line("file", relative(path), size);
            }
            for (const std::string& path : reader.maskPaths()) {
                if (ReadableFileSize(path, &size)) listing += Line("mask", relative(path), size);
            }
            console.out(listing);
        }
    }
    RemoveDirectoryTree(folder);
    return code;
}

int RunUnpackCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kUnpackHelp);
        return kExitOk;
    }
    if (args.size() != 2) return Report(console, kExitUsage, "unpack: give PROJECTOR.exe and DIR");
    const std::string projector = CommandLinePath(args[0]);
    const std::string folder = CommandLinePath(args[1]);
    if (!IsDirectory(folder) && MakeDirectory(folder) != MakeDirectoryResult::Created) {
        return Report(console, kExitFailed, "cannot create the folder \"" + folder + "\"");
    }
    PayloadReader reader(folder);
    return Unpack(projector, reader, console);
}

}  // namespace kestrel::cli
