#include "tests/projector/app/projector_fixture.h"

#include <cstdio>

#include "common/file_system.h"
#include "tools/swfwriter/movie_builder.h"

namespace kestrel::skylet_test {

std::string WindowsPath(const std::string& path) {
    std::string result = path;
    for (char& c : result)
        if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '/') result = "Z:" + result;
    return result;
}

ProjectorPayload ShownMainWindowPayload(const std::string& title, int width, int height) {
    ProjectorPayload payload;
    WindowDefinition& main = payload.mainWindow;
    main.moviePath = "movie.swf";
    main.title = title;
    main.visible = true;
    main.sizeMode = WindowSizeMode::Custom;
    main.width = width;
    main.height = height;
    main.x = 40;
    main.y = 40;
    return payload;
}

std::vector<uint8_t> BackgroundMovie(int width, int height, uint8_t red, uint8_t green,
                                     uint8_t blue) {
    swf::MovieBuilder builder;
    builder.SetStageSize(width, height);
    builder.SetBackgroundColor(swf::Rgba{red, green, blue, 255});
    builder.Root().ShowFrame();
    auto bytes = builder.Build();
    return bytes ? *bytes : std::vector<uint8_t>();
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + count);
        std::fclose(file);
    }
    return bytes;
}

std::string ScreenshotPath(const std::string& name) {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string shots = JoinPath(folder, "screenshots");
    MakeDirectory(shots);
    return JoinPath(shots, name);
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), bytes.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

ProjectorFolder::ProjectorFolder() {
    static int counter = 0;
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    char name[64];
    std::snprintf(name, sizeof name, "skylet_test_%lu_%d", GetCurrentProcessId(), ++counter);
    root_ = JoinPath(current, name);
    temp_ = JoinPath(root_, "temp");
    work_ = JoinPath(root_, "work");
    RemoveDirectoryTree(root_);
    MakeDirectory(root_);
    MakeDirectory(temp_);
    MakeDirectory(work_);
}

ProjectorFolder::~ProjectorFolder() {
    RemoveDirectoryTree(root_);
}

std::string ProjectorFolder::copyStub(const std::string& name) const {
    const std::string path = JoinPath(work_, name);
    CopyFileA(WindowsPath(SKYLET_EXE).c_str(), path.c_str(), FALSE);
    return path;
}

std::string ProjectorFolder::writeFile(const std::string& name,
                                       const std::vector<uint8_t>& bytes) const {
    const std::string path = JoinPath(work_, name);
    WriteWholeFile(path, bytes);
    return path;
}

std::vector<std::string> ProjectorFolder::unpackFolders() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    kestrel::FindHandle search(FindFirstFileA(JoinPath(temp_, "lkskso_*").c_str(), &found));
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

bool ProjectorFolder::start(uitest::TestProcess* process, const std::string& program) const {
    // GetTempPath ends in a backslash; give it one so paths are formed alike.
    const std::string temp = temp_ + "\\";
    return process->start({program, work_, {{"TMP", temp}, {"TEMP", temp}}});
}

}  // namespace kestrel::skylet_test
