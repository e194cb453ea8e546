#include "builder/cli/cli_project_file.h"

#include "builder/project_file_reader.h"
#include "builder/project_paths.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/settings_reader.h"
#include "common/xml_text_writer.h"

namespace kestrel::cli {

namespace {

// Far beyond any real project, as the builder's own reader caps it.
constexpr int64_t kMaxProjectFileSize = 256 * 1024 * 1024;

const char* const kPathAttributes[] = {"swf",
                                       "window_mask",
                                       "src",
                                       "output_folder",
                                       "output_mac_appicon_path",
                                       "output_win_appicon_path",
                                       "output_linux_appicon_path"};

// Rewrites every relative path value of `text` against `folder`.
void AnchorRelativePaths(std::string& text, const std::string& folder) {
    for (const char* name : kPathAttributes) {
        const std::string key = std::string(" ") + name + "=\"";
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
            const size_t start = at + key.size();
            const size_t close = text.find('"', start);
            if (close == std::string::npos) return;
            const std::string value = DecodeAttributeText(text.substr(start, close - start));
            std::string anchored = value;
            if (!value.empty() && !IsAbsolutePath(value)) anchored = JoinPath(folder, value);
            const std::string escaped = EscapeXmlText(anchored);
            text.replace(start, close - start, escaped);
            at = start + escaped.size();
        }
    }
}

}  // namespace

ProjectFileError LoadCliProject(Project& project, const std::string& path) {
    if (path.empty() || !PathExists(path) || IsDirectory(path))
        return ProjectFileError::InvalidFile;
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || size > kMaxProjectFileSize || !file.seek(0))
        return ProjectFileError::CannotOpen;
    std::string text(static_cast<size_t>(size), '\0');
    if (!text.empty() && !file.readExactly(&text[0], text.size()))
        return ProjectFileError::CannotOpen;
    const std::string name = PathLastComponent(path);
    AnchorRelativePaths(text, path.substr(0, path.size() - name.size()));
    ProjectFileError error = ReadProjectText(project, text.data(), text.size());
    if (error == ProjectFileError::None) project.SetProjectName(BaseNameWithoutExtension(path));
    return error;
}

}  // namespace kestrel::cli
