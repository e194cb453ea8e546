// An in-memory file system behind the "FileSystem." family: folders, files,
// links, and switches that make single calls fail. It records every call, so
// tests can check which paths the family touched and in what order.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "projector/api/api_paths.h"
#include "projector/api/file_system_host.h"

namespace kestrel::test {

class FakeFileSystem : public FileSystemHost {
  public:
    static constexpr std::size_t kMaxFakeFileSize = 1 << 20;
    struct Node {
        bool folder = false;
        bool link = false;  // a link to a folder elsewhere: removing it leaves the target
        std::string bytes;
        FileFacts facts;
    };

    std::map<std::string, Node> nodes;
    std::vector<std::string> calls;  // "remove C:\a", "list C:\a", ...
    bool failCreate = false, failWrite = false, failClose = false, failShortcut = false;
    bool raceOnCreate = false;  // another writer creates the file between check and create
    bool linksStay = false;     // links to folders cannot be removed
    std::map<int, std::string> shellFolders;
    std::vector<std::pair<std::string, std::string>> shortcuts;
    int openStreams = 0;

    FakeFileSystem() { AddFolder("C:"); }

    void AddFolder(const std::string& path) {
        nodes[path] = Node();
        nodes[path].folder = true;
    }
    void AddFile(const std::string& path, std::string bytes = "") {
        Node node;
        node.bytes = std::move(bytes);
        node.facts.size = node.bytes.size();
        nodes[path] = node;
    }
    void AddFolderLink(const std::string& path) {
        AddFolder(path);
        nodes[path].link = true;
    }
    bool Has(const std::string& path) const { return nodes.count(path) != 0; }

    std::string FullPath(const std::string& path) override { return path; }
    PathKind Kind(const std::string& path) override {
        auto it = nodes.find(path);
        if (it == nodes.end()) return PathKind::Missing;
        return it->second.folder ? PathKind::Folder : PathKind::File;
    }
    bool IsLink(const std::string& path) override {
        auto it = nodes.find(path);
        return it != nodes.end() && it->second.link;
    }
    std::optional<FileFacts> Facts(const std::string& path) override {
        auto it = nodes.find(path);
        if (it == nodes.end()) return std::nullopt;
        return it->second.facts;
    }
    bool RemoveFile(const std::string& path) override {
        calls.push_back("delete " + path);
        auto it = nodes.find(path);
        if (it == nodes.end() || it->second.folder) return false;
        nodes.erase(it);
        return true;
    }
    bool RemoveFolder(const std::string& path) override {
        calls.push_back("remove " + path);
        auto it = nodes.find(path);
        if (it == nodes.end() || !it->second.folder) return false;
        if (it->second.link && linksStay) return false;
        if (!it->second.link && !Children(path).empty()) return false;
        nodes.erase(it);
        return true;
    }
    bool CreateFolder(const std::string& path) override {
        calls.push_back("create " + path);
        if (Has(path) || !Has(FolderPart(path))) return false;
        AddFolder(path);
        return true;
    }
    std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) override {
        calls.push_back("list " + folder);
        auto it = nodes.find(folder);
        if (it == nodes.end() || !it->second.folder) return std::nullopt;
        std::vector<FolderEntry> entries{{".", true}, {"..", true}};
        for (const std::string& child : Children(folder)) {
            const Node& node = nodes[child];
            entries.push_back({FileNamePart(child), node.folder, node.link});
        }
        return entries;
    }

    class FakeNewFile : public NewFile {
      public:
        FakeNewFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        bool Write(const std::string& bytes) override {
            if (fs_.failWrite) {
                fs_.nodes[path_].bytes += bytes.substr(0, bytes.size() / 2);
                return false;
            }
            fs_.nodes[path_].bytes += bytes;
            return true;
        }
        bool Close() override { return !fs_.failClose; }

      private:
        FakeFileSystem& fs_;
        std::string path_;
    };

    CreateNewResult CreateNew(const std::string& path, std::unique_ptr<NewFile>& file) override {
        calls.push_back("createNew " + path);
        if (raceOnCreate) AddFile(path, "other writer");
        if (Has(path)) return CreateNewResult::Exists;
        if (failCreate) return CreateNewResult::Failed;
        AddFile(path);
        file = std::make_unique<FakeNewFile>(*this, path);
        return CreateNewResult::Created;
    }

    class FakeStream : public FileStream {
      public:
        FakeStream(FakeFileSystem& fs, std::string& bytes) : fs_(fs), bytes_(bytes) {
            ++fs_.openStreams;
        }
        ~FakeStream() override { --fs_.openStreams; }
        std::optional<unsigned char> GetByte() override {
            if (position_ >= static_cast<std::int64_t>(bytes_.size())) {
                end_ = true;
                return std::nullopt;
            }
            return static_cast<unsigned char>(bytes_[position_++]);
        }
        std::optional<std::string> GetLine(std::size_t limit) override {
            std::string line;
            while (line.size() < limit) {
                std::optional<unsigned char> byte = GetByte();
                if (!byte) break;
                line += static_cast<char>(*byte);
                if (*byte == '\n') break;
            }
            if (line.empty()) return std::nullopt;
            return line;
        }
        bool Put(const std::string& bytes) override {
            auto at = static_cast<std::size_t>(position_);
            if (at > FakeFileSystem::kMaxFakeFileSize)
                return false;  // far seeks are fine, huge files not
            if (at > bytes_.size()) bytes_.resize(at);
            bytes_.replace(at, std::min(bytes.size(), bytes_.size() - at), bytes);
            position_ += bytes.size();
            return true;
        }
        int Seek(std::int64_t offset, SeekOrigin origin) override {
            std::int64_t base = origin == SeekOrigin::Begin ? 0
                                : origin == SeekOrigin::Current
                                    ? position_
                                    : static_cast<std::int64_t>(bytes_.size());
            if (base + offset < 0) return -1;
            position_ = base + offset;
            end_ = false;
            return 0;
        }
        std::int64_t Tell() override { return position_; }
        bool AtEnd() override { return end_; }

      private:
        FakeFileSystem& fs_;
        std::string& bytes_;
        std::int64_t position_ = 0;
        bool end_ = false;
    };

    std::vector<std::string> openedModes;
    std::unique_ptr<FileStream> OpenStream(const std::string& path,
                                           const std::string& mode) override {
        openedModes.push_back(mode);
        if (mode[0] == 'w') AddFile(path);
        if (mode[0] == 'a' && !Has(path)) AddFile(path);
        auto it = nodes.find(path);
        if (it == nodes.end() || it->second.folder) return nullptr;
        return std::make_unique<FakeStream>(*this, it->second.bytes);
    }

    bool CreateShortcut(const std::string& target, const std::string& shortcutPath) override {
        if (failShortcut) return false;
        shortcuts.push_back({target, shortcutPath});
        return true;
    }
    std::optional<std::string> ShellFolder(int csidl) override {
        auto it = shellFolders.find(csidl);
        if (it == shellFolders.end()) return std::nullopt;
        return it->second;
    }
    std::string TempFolder() override { return "C:\\temp\\"; }
    std::string ProgramFolder() override { return "C:\\app"; }
    std::string UnpackFolder() override { return "C:\\temp\\lkskso_1"; }

  private:
    std::vector<std::string> Children(const std::string& folder) const {
        std::vector<std::string> children;
        for (const auto& [path, node] : nodes)
            if (path != folder && FolderPart(path) == folder) children.push_back(path);
        return children;
    }
};

}  // namespace kestrel::test
