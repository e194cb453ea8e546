// kpack: makes a projector from a stub, a settings document and the files
// it carries. Used by the main job and the tests until the builder exports.
#include "tools/kpack/kpack_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/settings_reader.h"
#include "common/settings_writer.h"

namespace {

using namespace kestrel;

const char kUsage[] =
    "usage: kpack --stub STUB --out OUT [options]\n"
    "\n"
    "Copies STUB to OUT and appends a payload: the mask items, the movies and\n"
    "attached files and folders, the settings document \"sk.dat\", the end mark.\n"
    "\n"
    "Options apply to the current window: the main window, or after --window the\n"
    "additional window it started.\n"
    "  --movie PATH          carry PATH and name it as the window's movie (swf)\n"
    "  --file PATH           carry a file\n"
    "  --folder PATH         carry a folder's files (not its subfolders)\n"
    "  --mask NAME REGION    carry the region data in file REGION as mask item NAME\n"
    "                        and name it as the window's mask\n"
    "  --set NAME=VALUE      set a settings attribute, e.g. window_title=Hello,\n"
    "                        window_is_visible=true, flash_bgcolor=255\n"
    "  --window              start an additional window\n"
    "Settings document (instead of one made from --set/--movie/--mask):\n"
    "  --settings FILE       carry FILE as the settings document byte for byte\n"
    "  --no-settings         carry no settings document at all\n"
    "\n"
    "Example:\n"
    "  kpack --stub skylet.exe --out app.exe --movie movie.swf \\\n"
    "        --set window_title=Demo --set window_is_visible=true\n";

struct WindowItems {
    std::vector<std::string> files;  // movie first, then attachments in order
    std::vector<bool> isFolder;
    std::string maskName;
    std::string maskRegionPath;
};

struct Options {
    std::string stub;
    std::string out;
    std::string settingsFile;
    bool noSettings = false;
    WindowDefinition mainWindow;
    std::vector<WindowItems> windows{1};
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "kpack: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || !file.seek(0)) return false;
    bytes->resize(static_cast<size_t>(size));
    return file.readExactly(&(*bytes)[0], bytes->size());
}

bool CopyFile(const std::string& from, const std::string& to) {
    BinaryFile in;
    BinaryFile out;
    if (!in.open(from, BinaryFile::Mode::Read) || !out.open(to, BinaryFile::Mode::WriteTruncate)) {
        return false;
    }
    int64_t size = in.size();
    if (size < 0 || !in.seek(0)) return false;
    std::vector<char> chunk(1 << 20);
    while (size > 0) {
        size_t want = static_cast<size_t>(std::min<int64_t>(size, chunk.size()));
        if (!in.readExactly(chunk.data(), want) || !out.write(chunk.data(), want)) return false;
        size -= static_cast<int64_t>(want);
    }
    return out.close();
}

// Returns 0 and fills `options`, or the exit code (2 after --help).
int ParseArguments(const std::vector<std::string>& args, Options* options) {
    WindowDefinition* current = &options->mainWindow;
    const size_t argc = args.size();
    for (size_t i = 0; i < argc; ++i) {
        const std::string& arg = args[i];
        auto value = [&](size_t count) { return i + count < argc; };
        WindowItems& items = options->windows.back();
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 2;
        } else if (arg == "--stub" && value(1)) {
            options->stub = args[++i];
        } else if (arg == "--out" && value(1)) {
            options->out = args[++i];
        } else if (arg == "--settings" && value(1)) {
            options->settingsFile = args[++i];
        } else if (arg == "--no-settings") {
            options->noSettings = true;
        } else if (arg == "--movie" && value(1)) {
            std::string path = args[++i];
            items.files.insert(items.files.begin(), path);
            items.isFolder.insert(items.isFolder.begin(), false);
            current->moviePath = PathLastComponent(path);
        } else if ((arg == "--file" || arg == "--folder") && value(1)) {
            items.files.push_back(args[++i]);
            items.isFolder.push_back(arg == "--folder");
        } else if (arg == "--mask" && value(2)) {
            items.maskName = args[++i];
            items.maskRegionPath = args[++i];
            current->maskPath = items.maskName;
        } else if (arg == "--set" && value(1)) {
            std::string assignment = args[++i];
            size_t equals = assignment.find('=');
            if (equals == std::string::npos ||
                !ApplyWindowAttribute(current, assignment.substr(0, equals),
                                      assignment.substr(equals + 1), "")) {
                return Fail("unknown attribute in --set " + assignment);
            }
        } else if (arg == "--window") {
            options->mainWindow.additionalWindows.emplace_back();
            current = &options->mainWindow.additionalWindows.back();
            options->windows.emplace_back();
        } else {
            return Fail("unknown or incomplete option " + arg + " (see --help)");
        }
    }
    if (options->stub.empty() || options->out.empty()) return Fail("--stub and --out are required");
    if (options->stub == options->out) return Fail("--out must differ from --stub");
    return 0;
}

int Pack(const Options& options) {
    std::string settings;
    if (!options.settingsFile.empty()) {
        if (!ReadWholeFile(options.settingsFile, &settings)) {
            return Fail("cannot read " + options.settingsFile);
        }
    } else {
        settings = WriteSettingsDocument(options.mainWindow);
    }
    for (const WindowItems& items : options.windows) {
        for (size_t i = 0; i < items.files.size(); ++i) {
            // The payload would carry a missing file as an empty one.
            if (items.isFolder[i] ? !IsDirectory(items.files[i]) : !PathExists(items.files[i])) {
                return Fail("cannot find " + items.files[i]);
            }
        }
    }
    if (!CopyFile(options.stub, options.out))
        return Fail("cannot copy " + options.stub + " to " + options.out);

    PayloadWriter writer(options.out);
    writer.writeStartMarker();
    for (size_t index = 0; index < options.windows.size(); ++index) {
        const WindowItems& items = options.windows[index];
        if (items.maskName.empty()) continue;
        std::string region;
        if (!ReadWholeFile(items.maskRegionPath, &region)) {
            return Fail("cannot read " + items.maskRegionPath);
        }
        writer.writeMaskItem(std::vector<uint8_t>(region.begin(), region.end()), items.maskName,
                             static_cast<uint32_t>(index));
    }
    for (const WindowItems& items : options.windows) {
        for (size_t i = 0; i < items.files.size(); ++i) {
            if (items.isFolder[i]) {
                writer.writeFolderItem(items.files[i]);
            } else {
                writer.writeFileItem(items.files[i]);
            }
        }
    }
    if (!options.noSettings) writer.writeSettingsItem(settings);
    if (!writer.writeEndMark()) {
        return Fail(std::string("cannot write the payload: ") + ToString(writer.error()));
    }
    return 0;
}

}  // namespace

namespace kestrel {

int RunKpack(const std::vector<std::string>& args) {
    Options options;
    int code = ParseArguments(args, &options);
    if (code != 0) return code == 2 ? 0 : code;
    return Pack(options);
}

}  // namespace kestrel
