// The "FileSystem." family's calls over Win32 (ANSI, the system code page).
#pragma once

#include <string>

#include "projector/api/file_system_host.h"

namespace kestrel::projector {

class SystemFileSystem : public FileSystemHost {
  public:
    explicit SystemFileSystem(std::string unpackFolder) : unpackFolder_(std::move(unpackFolder)) {}

    std::string FullPath(const std::string& path) override;
    PathKind Kind(const std::string& path) override;
    bool IsLink(const std::string& path) override;
    std::optional<FileFacts> Facts(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) override;
    CreateNewResult CreateNew(const std::string& path, std::unique_ptr<NewFile>& file) override;
    std::unique_ptr<FileStream> OpenStream(const std::string& path,
                                           const std::string& mode) override;
    bool CreateShortcut(const std::string& target, const std::string& shortcutPath) override;
    std::optional<std::string> ShellFolder(int csidl) override;
    std::string TempFolder() override;
    std::string ProgramFolder() override;
    std::string UnpackFolder() override { return unpackFolder_; }

  private:
    std::string unpackFolder_;
};

}  // namespace kestrel::projector
