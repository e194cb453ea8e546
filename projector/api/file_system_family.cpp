#include "projector/api/file_system_family.h"

#include <memory>

#include "projector/api/api_paths.h"

namespace kestrel {
namespace {

struct FileSystemCall {
    FileSystemHost& host;
    const ApiArguments& arguments;

    std::string Resolved(std::size_t index) const {
        return ResolvePath(arguments.AsText(index), host.ProgramFolder());
    }
};

using FileSystemMethod = ApiResult (*)(const FileSystemCall&);

ApiResult AnswerFalse(const FileSystemCall&) {
    return XmlFlag(false);
}
ApiResult AnswerNull(const FileSystemCall&) {
    return XmlNull();
}

ApiResult CreateShortcut(const FileSystemCall& call) {
    std::string target = call.Resolved(0);
    std::string shortcut = call.Resolved(1);
    if (target.empty() || shortcut.empty()) return XmlFlag(false);
    return XmlFlag(call.host.CreateShortcut(target, shortcut));
}

ApiResult DeleteFile(const FileSystemCall& call) {
    std::string path = call.arguments.AsText(0);
    if (path.empty() || call.host.Kind(path) == PathKind::Missing) return XmlFlag(true);
    return XmlFlag(call.host.RemoveFile(path));
}

// Empties and removes `folder`. Entries are listed completely before any is
// removed, so no search stays open while the tree below is walked. Links are
// removed as links: what they point to is never touched.
bool RemoveFolderTree(FileSystemHost& host, const std::string& folder) {
    std::optional<std::vector<FolderEntry>> entries = host.ListFolder(folder);
    if (entries) {
        for (const FolderEntry& entry : *entries) {
            if (entry.name == "." || entry.name == ".." || entry.name.empty()) continue;
            std::string child = JoinWithBackslash(folder, entry.name);
            if (entry.folder && !entry.link)
                RemoveFolderTree(host, child);
            else if (entry.folder)
                host.RemoveFolder(child);
            else
                host.RemoveFile(child);
        }
    }
    return host.RemoveFolder(folder);
}

ApiResult DeleteFolder(const FileSystemCall& call) {
    std::string given = call.arguments.AsText(0);
    // Read literally, an empty path names the current drive's root.
    if (given.empty()) return XmlFlag(false);
    // One path, fixed here, serves the listing and every removal.
    std::string folder = call.host.FullPath(ResolvePath(given, call.host.ProgramFolder()));
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    if (folder.empty() || IsDriveRoot(folder) || IsDriveRoot(given)) return XmlFlag(false);
    if (call.host.RemoveFolder(folder)) return XmlFlag(true);
    if (!call.arguments.AsCodedFlag(1)) return XmlFlag(false);
    // A link that could not be removed as a link is never emptied through.
    if (call.host.Kind(folder) != PathKind::Folder || call.host.IsLink(folder))
        return XmlFlag(false);
    return XmlFlag(RemoveFolderTree(call.host, folder));
}

ApiResult CreateFolder(const FileSystemCall& call) {
    std::string path = call.arguments.AsText(0);
    if (path.empty()) return XmlFlag(false);
    switch (call.host.Kind(path)) {
        case PathKind::Folder:
            return XmlFlag(true);
        case PathKind::File:
            return XmlFlag(false);  // a file of that name is no folder
        case PathKind::Missing:
            break;
    }
    return XmlFlag(call.host.CreateFolder(path));
}

// Writes `bytes` to a file that does not exist yet. A failed write or close
// leaves no partial file behind.
bool SaveNewFile(FileSystemHost& host, const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    std::unique_ptr<NewFile> file;
    if (host.CreateNew(path, file) != CreateNewResult::Created || !file) return false;
    bool written = file->Write(bytes);
    bool closed = file->Close();
    file.reset();
    if (written && closed) return true;
    host.RemoveFile(path);
    return false;
}

ApiResult SaveFile(const FileSystemCall& call) {
    return XmlFlag(
        SaveNewFile(call.host, call.arguments.AsText(0), TextModeBytes(call.arguments.AsText(1))));
}

ApiResult SaveFileHex(const FileSystemCall& call) {
    return XmlFlag(
        SaveNewFile(call.host, call.arguments.AsText(0), BytesOfHexText(call.arguments.AsText(1))));
}

ApiResult FileExists(const FileSystemCall& call) {
    std::string path = call.arguments.AsText(0);
    return XmlFlag(!path.empty() && call.host.Kind(path) != PathKind::Missing);
}

ApiResult ListEntries(const FileSystemCall& call, bool foldersOnly) {
    std::vector<std::string> names;
    std::string folder = call.Resolved(0);
    if (folder.empty()) return XmlTextList(names);
    std::optional<std::vector<FolderEntry>> entries = call.host.ListFolder(folder);
    if (!entries) return XmlTextList(names);
    for (const FolderEntry& entry : *entries)
        if (!foldersOnly || entry.folder) names.push_back(entry.name);
    return XmlTextList(names);
}

ApiResult ListFiles(const FileSystemCall& call) {
    return ListEntries(call, false);
}
ApiResult ListFolders(const FileSystemCall& call) {
    return ListEntries(call, true);
}

ApiResult GetFileExtension(const FileSystemCall& call) {
    return XmlText(Extension(call.arguments.AsText(0)));
}

// A file that cannot be measured counts as size 0.
std::uint64_t FileSize(const FileSystemCall& call) {
    std::string path = call.Resolved(0);
    if (path.empty()) return 0;
    std::optional<FileFacts> facts = call.host.Facts(path);
    return facts ? facts->size : 0;
}

ApiResult GetFileSizeBytes(const FileSystemCall& call) {
    return XmlInteger64(static_cast<std::int64_t>(FileSize(call)));
}
ApiResult GetFileSizeKBytes(const FileSystemCall& call) {
    return XmlInteger64(static_cast<std::int64_t>(FileSize(call) / 1024));
}
ApiResult GetFileSizeMBytes(const FileSystemCall& call) {
    return XmlReal2(static_cast<double>(FileSize(call) / 1024) * (1.0 / 1024));
}
ApiResult GetFileSizeGBytes(const FileSystemCall& call) {
    return XmlReal2(static_cast<double>(FileSize(call) / 1024) * (1.0 / 1048576));
}

ApiResult FileDate(const FileSystemCall& call, bool created) {
    std::string path = call.Resolved(0);
    if (path.empty()) return XmlNull();
    std::optional<FileFacts> facts = call.host.Facts(path);
    if (!facts) return XmlNull();
    return XmlDate(DatePartsOfFileTime(created ? facts->created : facts->modified));
}

ApiResult GetFileCreateDate(const FileSystemCall& call) {
    return FileDate(call, true);
}
ApiResult GetFileModifiedDate(const FileSystemCall& call) {
    return FileDate(call, false);
}

// Shell folder numbers (CSIDL values) tried in order; the fallback when all fail.
enum class SpecialFallback { None, Temp, ProgramFolder, UnpackFolder };
struct SpecialFolderEntry {
    std::string_view key;
    int csidls[3];
    int count;
    SpecialFallback fallback;
};

// Compared in this order, exactly.
constexpr SpecialFolderEntry kSpecialFolders[] = {
    {"desktop", {0, 16, 25}, 3, SpecialFallback::Temp},
    {"app_files", {}, 0, SpecialFallback::UnpackFolder},
    {"applications", {2}, 1, SpecialFallback::Temp},
    {"applications_user", {2}, 1, SpecialFallback::Temp},
    {"application_support", {26, 28, 12}, 3, SpecialFallback::ProgramFolder},
    {"fonts", {20}, 1, SpecialFallback::Temp},
    {"documents", {5}, 1, SpecialFallback::Temp},
    {"documents_shared", {46}, 1, SpecialFallback::Temp},
    {"library", {}, 0, SpecialFallback::None},
    {"movies", {14}, 1, SpecialFallback::Temp},
    {"music", {13}, 1, SpecialFallback::Temp},
    {"pictures", {39}, 1, SpecialFallback::Temp},
    {"preferences", {}, 0, SpecialFallback::None},
    {"system", {37}, 1, SpecialFallback::Temp},
    {"temp", {}, 0, SpecialFallback::Temp},
    {"trash", {10}, 1, SpecialFallback::Temp},
    {"startmenu", {}, 0, SpecialFallback::None},
    {"startup", {7}, 1, SpecialFallback::Temp},
};

ApiResult GetSpecialFolder(const FileSystemCall& call) {
    std::string_view key = call.arguments.Raw(0);
    for (const SpecialFolderEntry& entry : kSpecialFolders) {
        if (entry.key != key) continue;
        for (int i = 0; i < entry.count; ++i)
            if (std::optional<std::string> folder = call.host.ShellFolder(entry.csidls[i]))
                return XmlText(*folder);
        switch (entry.fallback) {
            case SpecialFallback::None:
                return XmlNull();
            case SpecialFallback::Temp:
                return XmlText(call.host.TempFolder());
            case SpecialFallback::ProgramFolder:
                return XmlText(call.host.ProgramFolder());
            case SpecialFallback::UnpackFolder:
                return XmlText(WithTrailingBackslash(call.host.UnpackFolder()));
        }
    }
    return XmlNull();
}

struct FileSystemMethodEntry {
    std::string_view name;
    FileSystemMethod run;
};

// Compared in this order, exactly.
constexpr FileSystemMethodEntry kFileSystemMethods[] = {
    {"copyFile", AnswerFalse},
    {"moveFile", AnswerFalse},
    {"renameFile", AnswerFalse},
    {"copyFolder", AnswerFalse},
    {"createShortcut", CreateShortcut},
    {"deleteFile", DeleteFile},
    {"deleteFolder", DeleteFolder},
    {"createFolder", CreateFolder},
    {"saveFile", SaveFile},
    {"saveFileHEX", SaveFileHex},
    {"fileExists", FileExists},
    {"folderExists", FileExists},
    {"listFiles", ListFiles},
    {"listFolders", ListFolders},
    {"getFileExtension", GetFileExtension},
    {"setFileExtension", AnswerFalse},
    {"getFileSizeBytes", GetFileSizeBytes},
    {"getFileSizeKBytes", GetFileSizeKBytes},
    {"getFileSizeMBytes", GetFileSizeMBytes},
    {"getFileSizeGBytes", GetFileSizeGBytes},
    {"getFileCreator", AnswerNull},
    {"getFileType", AnswerNull},
    {"getFileCreateDate", GetFileCreateDate},
    {"getFileModifiedDate", GetFileModifiedDate},
    {"getSpecialFolder", GetSpecialFolder},
};

constexpr std::string_view kFilePrefix = "File.";

int HexDigitValue(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

XmlDateParts DatePartsOfFileTime(std::uint64_t ticks) {
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    std::uint64_t seconds = ticks / kTicksPerSecond;
    std::int64_t days = static_cast<std::int64_t>(seconds / 86400);
    std::uint32_t inDay = static_cast<std::uint32_t>(seconds % 86400);
    // Civil date from a day count (proleptic Gregorian), counted here from
    // 0000-03-01 so leap days fall at the end of each year.
    constexpr std::int64_t kDaysFrom0000March1To1601 = 584694;
    std::int64_t z = days + kDaysFrom0000March1To1601;
    std::int64_t era = z / 146097;
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    XmlDateParts parts;
    parts.date = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    parts.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    parts.month = month - 1;
    parts.hour = static_cast<int>(inDay / 3600);
    parts.minute = static_cast<int>(inDay / 60 % 60);
    parts.second = static_cast<int>(inDay % 60);
    return parts;
}

std::string BytesOfHexText(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / 2 + 1);
    if (hex.size() % 2 == 1) {
        bytes += static_cast<char>(HexDigitValue(hex[0]));
        hex.remove_prefix(1);
    }
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(HexDigitValue(hex[i]) << 4 | HexDigitValue(hex[i + 1]));
    return bytes;
}

std::string TextModeBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

std::vector<std::string> FileSystemFamily::MethodNames() {
    std::vector<std::string> names;
    for (const FileSystemMethodEntry& entry : kFileSystemMethods) names.emplace_back(entry.name);
    for (std::string_view file : FileObjectFamily::MethodNames())
        names.push_back(std::string(kFilePrefix) + std::string(file));
    return names;
}

ApiResult FileSystemFamily::Call(std::string_view method, const ApiArguments& arguments) {
    if (method.substr(0, kFilePrefix.size()) == kFilePrefix)
        return files_.Call(method.substr(kFilePrefix.size()), arguments);
    for (const FileSystemMethodEntry& entry : kFileSystemMethods)
        if (entry.name == method) return entry.run(FileSystemCall{host_, arguments});
    return std::nullopt;
}

}  // namespace kestrel
