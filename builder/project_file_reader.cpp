#include "builder/project_file_reader.h"

#include <cstring>
#include <pugixml.hpp>
#include <vector>

#include "builder/project_file_access.h"
#include "builder/project_file_attributes.h"
#include "builder/project_paths.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/settings_reader.h"

namespace kestrel {

namespace {

// Elements and attributes only, values exactly as written: the builder's own
// escaping is decoded byte-wise by DecodeAttributeText, and no white space in
// a value is normalised (a TAB stays a TAB).
constexpr unsigned kParseOptions = pugi::parse_minimal;
// Far beyond any real project; refused before it is read whole.
constexpr int64_t kMaxFileSize = 256 * 1024 * 1024;

std::string Value(const pugi::xml_attribute& attribute) {
    return DecodeAttributeText(attribute.value());
}

bool WithinNestingLimit(const pugi::xml_node& window, int depth) {
    if (depth > kMaxSubWindowDepth) return false;
    for (pugi::xml_node subData : window.children("sub_data")) {
        for (pugi::xml_node child : subData.children("skylet")) {
            if (!WithinNestingLimit(child, depth + 1)) return false;
        }
    }
    return true;
}

void ReadWindow(const pugi::xml_node& element, WindowData& window) {
    const auto& rules = WindowAttributes();
    // The movie first, through its setter: it reads the header and, in
    // swf_size mode, the size, which the attributes below then override.
    if (pugi::xml_attribute swf = element.attribute(rules[0].name))
        window.SetMovie(AbsoluteForm(Value(swf)));
    WindowSettings& settings = ProjectFileAccess::Settings(window);
    for (size_t i = 1; i < rules.size(); ++i) {
        if (pugi::xml_attribute attribute = element.attribute(rules[i].name))
            rules[i].store(settings, Value(attribute));
    }
    for (pugi::xml_node child : element.children()) {
        if (std::strcmp(child.name(), "more_files") == 0) {
            auto& files = ProjectFileAccess::ExtraFiles(window);
            files.clear();
            for (pugi::xml_node path : child.children("path")) {
                if (pugi::xml_attribute source = path.attribute("src"))
                    files.push_back(AbsoluteForm(Value(source)));
            }
        } else if (std::strcmp(child.name(), "sub_data") == 0) {
            for (pugi::xml_node subWindow : child.children("skylet"))
                ReadWindow(subWindow, *window.AddSubWindow());
        }
    }
}

void ReadDataList(const pugi::xml_node& list, Project& project) {
    project.Reset();
    for (pugi::xml_node window : list.children("skylet")) ReadWindow(window, project.MainWindow());
    ProjectSettings& settings = ProjectFileAccess::Settings(project);
    for (const auto& rule : DataListAttributes()) {
        if (pugi::xml_attribute attribute = list.attribute(rule.name))
            rule.store(settings, Value(attribute));
    }
    pugi::xml_attribute current = list.attribute("current_data");
    project.SelectWindowByIndex(current ? ParseDecimalInt(Value(current)) : -1);
}

// Checks every list before the first one resets the project.
ProjectFileError ReadDataLists(Project& project, const std::vector<pugi::xml_node>& lists) {
    if (lists.empty()) return ProjectFileError::CannotRead;
    for (const pugi::xml_node& list : lists) {
        for (pugi::xml_node window : list.children("skylet")) {
            if (!WithinNestingLimit(window, 0)) return ProjectFileError::CannotRead;
        }
    }
    for (const pugi::xml_node& list : lists) ReadDataList(list, project);
    return ProjectFileError::None;
}

// `inKestrel`: project files hold their lists inside "kestrel" elements,
// snapshots directly under the root.
ProjectFileError ReadText(Project& project, const void* data, size_t size, bool inKestrel) {
    pugi::xml_document document;
    // 8-bit text as it stands: bytes above 0x7F stay the same bytes.
    if (!document.load_buffer(data, size, kParseOptions, pugi::encoding_utf8))
        return ProjectFileError::CannotOpen;
    pugi::xml_node root = document.document_element();
    if (!root) return ProjectFileError::CannotRead;
    std::vector<pugi::xml_node> lists;
    if (inKestrel) {
        for (pugi::xml_node kestrel : root.children("kestrel")) {
            for (pugi::xml_node list : kestrel.children("skylet_datalist")) lists.push_back(list);
        }
    } else {
        for (pugi::xml_node list : root.children("skylet_datalist")) lists.push_back(list);
    }
    return ReadDataLists(project, lists);
}

ProjectFileError LoadFile(Project& project, const std::string& path, bool inKestrel) {
    if (path.empty() || !PathExists(path) || IsDirectory(path))
        return ProjectFileError::InvalidFile;
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || size > kMaxFileSize || !file.seek(0)) return ProjectFileError::CannotOpen;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!file.readExactly(&bytes[0], bytes.size())) return ProjectFileError::CannotOpen;
    return ReadText(project, bytes.data(), bytes.size(), inKestrel);
}

}  // namespace

ProjectFileError ReadProjectText(Project& project, const void* data, size_t size) {
    return ReadText(project, data, size, true);
}

ProjectFileError ReadSnapshotText(Project& project, const void* data, size_t size) {
    return ReadText(project, data, size, false);
}

ProjectFileError LoadProjectFile(Project& project, const std::string& path) {
    ProjectFileError error = LoadFile(project, path, true);
    if (error == ProjectFileError::None) project.SetProjectName(BaseNameWithoutExtension(path));
    return error;
}

ProjectFileError LoadSnapshotFile(Project& project, const std::string& path) {
    return LoadFile(project, path, false);
}

}  // namespace kestrel
