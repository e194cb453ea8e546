// The operating-system calls behind the "FileSystem." family and its "File."
// objects. The projector implements them over Win32 (file_system_host_win);
// tests use an in-memory fake, so every answer is checked natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

enum class PathKind { Missing, File, Folder };

struct FolderEntry {
    std::string name;
    bool folder = false;
    // A symbolic link or junction: removed as a link, never entered.
    bool link = false;
};

// Read from the directory entry, so a file held open without sharing, or a
// folder, still answers. Times are 100-ns ticks since 1601-01-01 UTC.
struct FileFacts {
    std::uint64_t size = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
};

// A file created for "saveFile": the caller checks both steps and deletes the
// file when either fails.
class NewFile {
  public:
    virtual ~NewFile() = default;
    virtual bool Write(const std::string& bytes) = 0;
    virtual bool Close() = 0;
};

enum class SeekOrigin { Begin, Current, End };

// One open stream of a "File." object; closed when destroyed.
class FileStream {
  public:
    virtual ~FileStream() = default;
    // A byte, or nothing at the end of the file or on an error.
    virtual std::optional<unsigned char> GetByte() = 0;
    // Up to `limit` bytes, stopping after a newline (kept); nothing when
    // nothing could be read.
    virtual std::optional<std::string> GetLine(std::size_t limit) = 0;
    virtual bool Put(const std::string& bytes) = 0;
    // 0 on success, non-zero on failure, as the C library answers.
    virtual int Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Tell() = 0;
    virtual bool AtEnd() = 0;
};

enum class CreateNewResult { Created, Exists, Failed };

class FileSystemHost {
  public:
    virtual ~FileSystemHost() = default;

    // The path made absolute with "." and ".." folded away (the current folder
    // is used for relative paths); the path itself when that fails.
    virtual std::string FullPath(const std::string& path) = 0;
    virtual PathKind Kind(const std::string& path) = 0;
    // A symbolic link or junction (to a file or a folder).
    virtual bool IsLink(const std::string& path) = 0;
    virtual std::optional<FileFacts> Facts(const std::string& path) = 0;

    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes an empty folder, or a link to a folder (never its target).
    virtual bool RemoveFolder(const std::string& path) = 0;
    // That one folder, not its parents.
    virtual bool CreateFolder(const std::string& path) = 0;
    // Every entry in the order the system lists them ("." and ".." included);
    // nothing when the folder cannot be listed. Each listing has its own
    // search, finished before this returns.
    virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) = 0;

    // Creates the file only when nothing of that name exists, atomically.
    virtual CreateNewResult CreateNew(const std::string& path, std::unique_ptr<NewFile>& file) = 0;
    // `mode` has been checked already (r, w or a, then +, b, t).
    virtual std::unique_ptr<FileStream> OpenStream(const std::string& path,
                                                   const std::string& mode) = 0;

    // A shell link at exactly `shortcutPath` pointing to `target`; false when
    // the path does not fit the shell's limit rather than saving a shorter name.
    virtual bool CreateShortcut(const std::string& target, const std::string& shortcutPath) = 0;

    // The shell's folder for a CSIDL number, created when missing.
    virtual std::optional<std::string> ShellFolder(int csidl) = 0;
    virtual std::string TempFolder() = 0;     // with a trailing backslash
    virtual std::string ProgramFolder() = 0;  // the folder that holds the projector program
    virtual std::string UnpackFolder() = 0;   // the projector's unpack folder
};

}  // namespace kestrel
