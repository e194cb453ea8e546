#include "projector/api/file_system_host_win.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <vector>

#include "common/win_handles.h"
#include "projector/api/api_paths.h"

namespace kestrel::projector {
namespace {

using Microsoft::WRL::ComPtr;

std::uint64_t Ticks(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

class SystemNewFile : public NewFile {
  public:
    explicit SystemNewFile(HANDLE file) : file_(file) {}
    bool Write(const std::string& bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            DWORD written = 0;
            if (!WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }
    bool Close() override { return file_.close(); }

  private:
    KernelHandle file_;
};

class SystemStream : public FileStream {
  public:
    explicit SystemStream(std::FILE* file) : file_(file) {}
    ~SystemStream() override { std::fclose(file_); }
    SystemStream(const SystemStream&) = delete;
    SystemStream& operator=(const SystemStream&) = delete;

    std::optional<unsigned char> GetByte() override {
        int c = std::fgetc(file_);
        if (c == EOF) return std::nullopt;
        return static_cast<unsigned char>(c);
    }
    std::optional<std::string> GetLine(std::size_t limit) override {
        std::string line;
        while (line.size() < limit) {
            int c = std::fgetc(file_);
            if (c == EOF) break;
            line += static_cast<char>(c);
            if (c == '\n') break;
        }
        if (line.empty()) return std::nullopt;
        return line;
    }
    bool Put(const std::string& bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }
    int Seek(std::int64_t offset, SeekOrigin origin) override {
        int from = origin == SeekOrigin::Current ? SEEK_CUR
                   : origin == SeekOrigin::End   ? SEEK_END
                                                 : SEEK_SET;
        return _fseeki64(file_, offset, from);
    }
    std::int64_t Tell() override { return _ftelli64(file_); }
    bool AtEnd() override { return std::feof(file_) != 0; }

  private:
    std::FILE* file_;
};

}  // namespace

std::string SystemFileSystem::FullPath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::string full(size, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

PathKind SystemFileSystem::Kind(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

bool SystemFileSystem::IsLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::optional<FileFacts> SystemFileSystem::Facts(const std::string& path) {
    // From the directory entry: no open, so no sharing conflict with a
    // stream the movie holds, and folders answer too.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    FileFacts facts;
    facts.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    facts.created = Ticks(data.ftCreationTime);
    facts.modified = Ticks(data.ftLastWriteTime);
    return facts;
}

bool SystemFileSystem::RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool SystemFileSystem::RemoveFolder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool SystemFileSystem::CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::optional<std::vector<FolderEntry>> SystemFileSystem::ListFolder(const std::string& folder) {
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(JoinWithBackslash(folder, "*").c_str(), &data));
    if (!find) return std::nullopt;
    std::vector<FolderEntry> entries;
    do {
        FolderEntry entry;
        entry.name = data.cFileName;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

CreateNewResult SystemFileSystem::CreateNew(const std::string& path,
                                            std::unique_ptr<NewFile>& file) {
    if (Kind(path) != PathKind::Missing) return CreateNewResult::Exists;
    // CREATE_NEW fails when anything of that name appeared meanwhile.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                   ? CreateNewResult::Exists
                   : CreateNewResult::Failed;
    }
    file = std::make_unique<SystemNewFile>(handle);
    return CreateNewResult::Created;
}

std::unique_ptr<FileStream> SystemFileSystem::OpenStream(const std::string& path,
                                                         const std::string& mode) {
    std::FILE* file = std::fopen(path.c_str(), mode.c_str());
    if (!file) return nullptr;
    return std::make_unique<SystemStream>(file);
}

bool SystemFileSystem::CreateShortcut(const std::string& target, const std::string& shortcutPath) {
    // The shell takes at most MAX_PATH characters, terminator included; a
    // longer name is refused rather than saved cut short.
    if (target.size() >= MAX_PATH) return false;
    int wideLength = MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, nullptr, 0);
    if (wideLength <= 1 || wideLength > MAX_PATH) return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    if (MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, wide.data(), wideLength) !=
        wideLength)
        return false;

    ComApartment com;
    if (!com.usable()) return false;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf()))))
        return false;
    if (FAILED(link->SetPath(target.c_str())) || FAILED(link->SetDescription("Shortcut")))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return false;
    return SUCCEEDED(file->Save(wide.data(), TRUE));
}

std::optional<std::string> SystemFileSystem::ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                path)) ||
        path[0] == '\0')
        return std::nullopt;
    return std::string(path);
}

std::string SystemFileSystem::TempFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length > MAX_PATH) return std::string();
    return WithTrailingBackslash(std::string(path, length));
}

std::string SystemFileSystem::ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return FolderPart(std::string(path.data(), length));
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
}

}  // namespace kestrel::projector
