// The Mac bundles and the Linux folder: a folder tree assembled in a fresh
// work folder beside the output and renamed into place when complete.
#include "builder/export/export_command.h"
#include "builder/export/output_files.h"
#include "builder/export/plist_text.h"
#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/settings_writer.h"

namespace kestrel {

namespace {

constexpr char kBundleIdentifierPrefix[] = "com.larkspur.kestrel.";
constexpr char kDefaultMacIcon[] = "app.icns";
constexpr char kMacLanguageFolder[] = "English.lproj";
constexpr char kMacMaskFolder[] = "_mask_";

// Assembles one bundle or folder; every step is checked and the first
// failure is kept as the message.
struct Assembly {
    const Project& project;
    const ExportPlan& plan;
    const ExportContext& context;
    std::string message;
    uint64_t copied = 0;

    bool Fail(const std::string& text) {
        if (message.empty()) message = text;
        return false;
    }
    bool MakeFolder(const std::string& path) {
        return MakeDirectory(path) == MakeDirectoryResult::Created ||
               Fail("Cannot create the folder \"" + path + "\".");
    }
    bool Write(const std::string& path, const std::string& bytes) {
        return WriteFileChecked(path, bytes) || Fail("Cannot write \"" + path + "\".");
    }
    bool Copy(const std::string& source, const std::string& folder, const char* what) {
        std::string failed;
        if (!CopyIntoFolder(source, folder, &failed)) {
            return Fail(std::string("Cannot copy the ") + what + " \"" + failed + "\" into \"" +
                        folder + "\".");
        }
        uint64_t size = 0;
        if (!IsDirectory(source) && ReadableFileSize(source, &size)) copied += size;
        if (context.progress) context.progress(copied, plan.sourceBytes);
        return true;
    }
    // The movies, extra files and the settings document, as the Windows
    // projector would unpack them.
    bool FillResources(const std::string& folder) {
        for (const ExportSource& source : plan.sources) {
            if (!Copy(source.path, folder, source.isFolder ? "folder" : "file")) return false;
        }
        return Write(JoinPath(folder, kSettingsFileName), WriteSettingsDocument(plan.settings));
    }
    bool CopyIcon(bool ticked, const std::string& path, const std::string& folder) {
        if (!ticked) return true;
        if (path.empty() || IsDirectory(path) || !PathExists(path))
            return Fail("Cannot read the icon \"" + path + "\".");
        return Copy(path, folder, "icon");
    }

    bool BuildMac(const std::string& bundle) {
        const ProjectSettings& s = project.Settings();
        const std::string contents = JoinPath(bundle, "Contents");
        const std::string resources = JoinPath(contents, "Resources");
        const std::string iconName =
            s.outputMacAppicon ? PathLastComponent(s.outputMacAppiconPath) : kDefaultMacIcon;
        return MakeFolder(bundle) && MakeFolder(contents) &&
               Write(JoinPath(contents, "Info.plist"), MakeInfoPlist(iconName)) &&
               Write(JoinPath(contents, "PkgInfo"), kPkgInfo) &&
               MakeFolder(JoinPath(contents, "MacOS")) && MakeFolder(resources) &&
               Copy(JoinPath(context.macResourcesFolder, kMacLanguageFolder), resources,
                    "folder") &&
               FillResources(resources) && MakeFolder(JoinPath(resources, kMacMaskFolder)) &&
               CopyIcon(s.outputMacAppicon, s.outputMacAppiconPath, resources);
    }

    bool BuildLinux(const std::string& folder) {
        const ProjectSettings& s = project.Settings();
        return MakeFolder(folder) && FillResources(folder) &&
               CopyIcon(s.outputLinuxAppicon, s.outputLinuxAppiconPath, folder);
    }
};

}  // namespace

std::string MakeInfoPlist(const std::string& iconName) {
    const char* kLineEnd = "\r\n";
    std::string text;
    auto line = [&](const std::string& content) { text += content + kLineEnd; };
    auto pair = [&](const char* key, const std::string& value) {
        line(std::string("\t<key>") + key + "</key>");
        line("\t<string>" + value + "</string>");
    };
    line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    line(
        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");
    line("<plist version=\"1.0\">");
    line("<dict>");
    pair("CFBundleDevelopmentRegion", "English");
    pair("CFBundleExecutable", "Skylet");
    pair("CFBundleIdentifier", std::string(kBundleIdentifierPrefix) + "flash");
    pair("CFBundleInfoDictionaryVersion", "6.0");
    pair("CFBundlePackageType", "BNDL");
    pair("CFBundleSignature", "LKsk");
    pair("CFBundleVersion", "1.0");
    line("\t<key>CFBundleIconFile</key>");
    line("<string>" + PlistText(iconName) + "</string>");
    line("</dict>");
    line("</plist>");
    return text;
}

ExportResult BuildBundleTarget(const Project& project, ExportTarget target, const ExportPlan& plan,
                               const ExportContext& context) {
    const std::string& name = project.OutputFileName(target);
    // Checked before anything is deleted: an empty name would make the
    // output folder itself the bundle.
    if (!IsValidOutputName(name)) {
        return {ExportOutcome::Failed,
                "The output name \"" + name + "\" is not a valid file name."};
    }
    const std::string output = project.OutputPath(target);
    if (PathExists(output) && !project.ExportPermission(target)) return {};

    const std::string folder = AbsoluteOutputFolder(project);
    const std::string work = MakeWorkFolder(folder);
    if (work.empty())
        return {ExportOutcome::Failed, "Cannot write into the output folder \"" + folder + "\"."};
    Assembly assembly{project, plan, context, "", 0};
    const std::string built = JoinPath(work, name);
    bool ok = target == ExportTarget::Linux ? assembly.BuildLinux(built) : assembly.BuildMac(built);
    if (ok && !PutInPlace(built, output, work))
        assembly.Fail("Cannot put \"" + output + "\" in place.");
    RemoveDirectoryTree(work);
    if (!assembly.message.empty()) return {ExportOutcome::Failed, assembly.message};
    return {};
}

}  // namespace kestrel
