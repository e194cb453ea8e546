// kestrel-cli export: the builder's export without questions.
#include <algorithm>
#include <cstdio>

#include "builder/cli/cli_command.h"
#include "builder/cli/cli_project_file.h"
#include "builder/export/export_command.h"
#include "builder/export/mask_conversion.h"
#include "builder/export/output_files.h"
#include "builder/pe/pe_image.h"
#include "builder/project_paths.h"
#include "common/file_system.h"

namespace kestrel::cli {

namespace {

const char kHelp[] =
    "usage: kestrel-cli export PROJECT.kstl [--output-folder DIR] [--stub skylet.exe]\n"
    "                          [--plugin FILE.dll] [--overwrite]\n"
    "\n"
    "Builds every output the project ticks, as the builder's Export command does:\n"
    "the Windows projector, the Mac bundles and the Linux folder.\n"
    "\n"
    "  --output-folder DIR  write the outputs into DIR instead of the project's folder\n"
    "  --stub FILE          the projector stub (default: skylet.exe beside kestrel-cli)\n"
    "  --plugin FILE.dll    carry this NPAPI Flash plug-in instead of the stub's own;\n"
    "                       it must be a 32-bit DLL exporting NP_GetEntryPoints,\n"
    "                       NP_Initialize and NP_Shutdown\n"
    "  --overwrite          replace outputs that exist (otherwise exit code 3)\n"
    "\n"
    "A movie, extra file, mask or icon that cannot be read fails the export and\n"
    "leaves every existing output as it was. Progress goes to stderr for exports\n"
    "over 4 MB.\n";

constexpr uint64_t kProgressThreshold = 4u << 20;
constexpr uint16_t kMachineI386 = 0x14C;
const char* const kPluginEntryPoints[] = {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"};

// Empty when `plugin` is a 32-bit DLL with the plug-in entry points;
// otherwise what is wrong with it.
std::string CheckPlugin(const std::vector<uint8_t>& plugin) {
    pe::PeImage image;
    pe::PeError error = image.Open(plugin);
    if (error != pe::PeError::None) return pe::ToString(error);
    if (image.is64Bit() || image.machine() != kMachineI386) return "not a 32-bit library";
    if (!image.isDll()) return "not a DLL";
    std::vector<std::string> names = image.ExportedNames();
    for (const char* entry : kPluginEntryPoints) {
        if (std::find(names.begin(), names.end(), entry) == names.end()) {
            return std::string("it does not export ") + entry;
        }
    }
    return std::string();
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kHelp);
        return kExitOk;
    }
    std::string projectPath, outputFolder, stubPath, pluginPath;
    bool overwrite = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--output-folder" && hasValue) {
            outputFolder = args[++i];
        } else if (arg == "--stub" && hasValue) {
            stubPath = args[++i];
        } else if (arg == "--plugin" && hasValue) {
            pluginPath = args[++i];
        } else if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg.rfind("--", 0) != 0 && projectPath.empty()) {
            projectPath = arg;
        } else {
            return Report(console, kExitUsage,
                          "export: unknown or incomplete option \"" + arg + "\"");
        }
    }
    if (projectPath.empty())
        return Report(console, kExitUsage, "export: which project? (see export --help)");

    Project project;
    projectPath = CommandLinePath(projectPath);
    ProjectFileError loaded = LoadCliProject(project, projectPath);
    if (loaded != ProjectFileError::None) {
        return Report(console, kExitFailed,
                      "cannot load \"" + projectPath + "\": " + ToString(loaded));
    }
    if (!outputFolder.empty()) project.SetOutputFolder(CommandLinePath(outputFolder));
    if (!IsDirectory(AbsoluteForm(project.Settings().outputFolder))) {
        return Report(
            console, kExitFailed,
            "the output folder \"" + project.Settings().outputFolder + "\" does not exist");
    }

    ExportContext context;
    stubPath =
        stubPath.empty() ? JoinPath(ProgramFolder(), "skylet.exe") : CommandLinePath(stubPath);
    if (!ReadWholeFile(stubPath, &context.stub) || context.stub.empty()) {
        return Report(console, kExitFailed, "cannot read the projector stub \"" + stubPath + "\"");
    }
    if (!pluginPath.empty()) {
        pluginPath = CommandLinePath(pluginPath);
        if (!ReadWholeFile(pluginPath, &context.plugin)) {
            return Report(console, kExitFailed, "cannot read the plug-in \"" + pluginPath + "\"");
        }
        std::string wrong = CheckPlugin(context.plugin);
        if (!wrong.empty()) {
            return Report(console, kExitFailed,
                          "\"" + pluginPath + "\" is not a 32-bit NPAPI plug-in DLL: " + wrong);
        }
    }
    context.macResourcesFolder = JoinPath(ProgramFolder(), "pr_tmp");
    context.convertMask = ConvertMaskImage;
    context.alwaysOverwrite = overwrite;
    std::string existing;
    context.askReplace = [&](const std::string& name, const std::string& folder) {
        existing = JoinPath(folder, name);
        return ReplaceAnswer::Stop;
    };
    context.warn = [&](const std::string& text) { Report(console, kExitOk, "warning: " + text); };
    int lastTenth = -1;
    context.progress = [&](uint64_t done, uint64_t total) {
        if (total < kProgressThreshold) return;
        int tenth = static_cast<int>(done * 10 / total);
        if (tenth == lastTenth) return;
        lastTenth = tenth;
        char line[96];
        std::snprintf(line, sizeof line, "exporting: %d%% (%llu of %llu MB)\n", tenth * 10,
                      static_cast<unsigned long long>(done >> 20),
                      static_cast<unsigned long long>(total >> 20));
        console.err(line);
    };

    ExportResult result = RunExport(project, context);
    switch (result.outcome) {
        case ExportOutcome::Finished:
            return kExitOk;
        case ExportOutcome::Stopped:
            return Report(console, kExitExists,
                          "\"" + existing + "\" exists; --overwrite replaces it");
        case ExportOutcome::Failed:
            break;
    }
    return Report(console, kExitFailed, "export failed: " + result.message);
}

}  // namespace kestrel::cli
