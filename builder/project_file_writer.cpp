#include "builder/project_file_writer.h"

#include <algorithm>

#include "builder/project_file_attributes.h"
#include "builder/project_paths.h"
#include "common/replacing_file.h"

namespace kestrel {

namespace {

constexpr const char* kXmlOpen = "<xml version=\"1.0\">";

template <typename Settings>
void WriteAttributes(XmlTextWriter& xml, const std::vector<AttributeRule<Settings>>& rules,
                     const Settings& settings) {
    for (const auto& rule : rules) {
        if (rule.escaped) {
            xml.attribute(rule.name, rule.format(settings));
        } else {
            xml.attributeRaw(rule.name, rule.format(settings));
        }
    }
}

void WriteWindow(XmlTextWriter& xml, const WindowData& window) {
    xml.beginStartTag("skylet");
    WriteAttributes(xml, WindowAttributes(), window.Settings());
    xml.endStartTag(">");
    xml.lineEnd();

    xml.raw("<more_files>");
    xml.lineEnd();
    for (const std::string& path : window.ExtraFiles()) {
        xml.beginStartTag("path");
        xml.attribute("src", AbsoluteForm(path));
        xml.endStartTag(" />");
        xml.lineEnd();
    }
    xml.endTag("more_files");
    xml.lineEnd();

    xml.raw("<sub_data>");
    xml.lineEnd();
    for (const auto& child : window.SubWindows()) WriteWindow(xml, *child);
    xml.endTag("sub_data");
    xml.lineEnd();
    xml.endTag("skylet");
    xml.lineEnd();
}

void CloseXml(XmlTextWriter& xml) {
    xml.lineEnd();
    xml.endTag("xml");
    xml.lineEnd();
}

}  // namespace

const char* ToString(ProjectFileError error) {
    switch (error) {
        case ProjectFileError::None:
            return "no error";
        case ProjectFileError::InvalidFile:
            return "Invalid project file.";
        case ProjectFileError::CannotOpen:
            return "Unable to open the project file.";
        case ProjectFileError::CannotRead:
            return "Unable to read the project file. The project file may be invalid or corrupt.";
        case ProjectFileError::CannotCreate:
            return "Unable to create the project file.";
        case ProjectFileError::CannotWrite:
            return "Unable to write the project file.";
    }
    return "unknown project file error";
}

void WriteDataList(XmlTextWriter& xml, const Project& project) {
    xml.beginStartTag("skylet_datalist");
    xml.attributeRaw("current_data",
                     std::to_string(project.WindowIndexOf(project.CurrentWindow())));
    WriteAttributes(xml, DataListAttributes(), project.Settings());
    xml.endStartTag(" >");
    xml.lineEnd();
    WriteWindow(xml, project.MainWindow());
    xml.endTag("skylet_datalist");
    xml.lineEnd();
}

std::string WriteProjectText(const Project& project) {
    XmlTextWriter xml("\r\n");
    xml.raw(kXmlOpen);
    xml.lineEnd();
    xml.raw("<kestrel version_major=\"1\" version_minor=\"1\">");
    xml.lineEnd();
    WriteDataList(xml, project);
    xml.endTag("kestrel");
    xml.lineEnd();
    CloseXml(xml);
    return xml.result();
}

std::string WriteSnapshotText(const Project& project) {
    XmlTextWriter xml("\r\n");
    xml.raw(kXmlOpen);
    xml.lineEnd();
    WriteDataList(xml, project);
    CloseXml(xml);
    return xml.result();
}

ProjectFileError SaveTextFile(const std::string& path, const std::string& text,
                              uint64_t failWritesAfter) {
    ReplacingFile file;
    file.FailWritesAfter(failWritesAfter);
    if (path.empty() || !file.Open(path)) return ProjectFileError::CannotCreate;
    // In pieces, so a failure can come half way as on a real disk.
    constexpr size_t kPiece = 64 * 1024;
    for (size_t at = 0; at < text.size(); at += kPiece) {
        if (!file.Write(text.data() + at, std::min(kPiece, text.size() - at)))
            return ProjectFileError::CannotWrite;
    }
    switch (file.Commit()) {
        case ReplacingFile::Result::Done:
            return ProjectFileError::None;
        case ReplacingFile::Result::CannotWrite:
            return ProjectFileError::CannotWrite;
        case ReplacingFile::Result::CannotCreate:
        case ReplacingFile::Result::CannotReplace:
            break;
    }
    return ProjectFileError::CannotCreate;
}

ProjectFileError SaveProjectFile(Project& project, const std::string& path) {
    ProjectFileError error = SaveTextFile(path, WriteProjectText(project));
    if (error == ProjectFileError::None) project.SetProjectName(BaseNameWithoutExtension(path));
    return error;
}

ProjectFileError SaveSnapshotFile(const Project& project, const std::string& path) {
    return SaveTextFile(path, WriteSnapshotText(project));
}

}  // namespace kestrel
