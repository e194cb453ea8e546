// The Windows target: the stub (with the project's icon and, when asked, a
// different plug-in), then the payload, written in a work folder beside the
// output and renamed into place only when every byte is written.
#include "builder/export/export_command.h"
#include "builder/export/output_files.h"
#include "builder/pe/icon_file.h"
#include "builder/pe/pe_format.h"
#include "builder/pe/pe_image.h"
#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/settings_writer.h"

namespace kestrel {

namespace {

constexpr uint16_t kPluginResourceId = 130;
constexpr uint16_t kPluginLanguage = 1033;

ExportResult Failed(const std::string& message) {
    return {ExportOutcome::Failed, message};
}

// The stub with the project's icon and the chosen plug-in. An icon that is
// not a usable .ico leaves the stub's own icon (with a warning); a file that
// cannot be read at all fails the export.
bool PrepareStub(const Project& project, const ExportContext& context, std::vector<uint8_t>* stub,
                 std::string* message) {
    *stub = context.stub;
    const ProjectSettings& settings = project.Settings();
    std::vector<uint8_t> iconFile;
    if (settings.outputWinAppicon && !ReadWholeFile(settings.outputWinAppiconPath, &iconFile)) {
        *message = "Cannot read the icon \"" + settings.outputWinAppiconPath + "\".";
        return false;
    }
    if (iconFile.empty() && context.plugin.empty()) return true;

    pe::PeImage image;
    pe::PeError error = image.Open(context.stub);
    bool changed = false;
    if (!iconFile.empty()) {
        std::vector<pe::IconImage> icons;
        pe::PeError iconError = error;
        if (iconError == pe::PeError::None) iconError = pe::ReadIconFile(iconFile, &icons);
        if (iconError == pe::PeError::None) iconError = pe::ReplaceIcon(&image, icons);
        if (iconError == pe::PeError::None) {
            changed = true;
        } else if (context.warn) {
            context.warn("The icon \"" + settings.outputWinAppiconPath + "\" was not used (" +
                         pe::ToString(iconError) + "); the projector keeps its own icon.");
        }
    }
    if (!context.plugin.empty()) {
        if (error != pe::PeError::None) {
            *message = std::string("Cannot carry the plug-in: the projector stub is damaged (") +
                       pe::ToString(error) + ").";
            return false;
        }
        image.SetResource(pe::ResourceName::Text("NPFP"), pe::ResourceName::Id(kPluginResourceId),
                          kPluginLanguage, context.plugin);
        changed = true;
    }
    if (!changed) return true;
    error = image.Save(stub);
    if (error != pe::PeError::None) {
        *message = std::string("Cannot rewrite the projector stub's resources (") +
                   pe::ToString(error) + ").";
        return false;
    }
    return true;
}

// Converts every mask before anything is written.
bool ConvertMasks(const ExportPlan& plan, const ExportContext& context,
                  std::vector<std::vector<uint8_t>>* regions, std::string* message) {
    for (const ExportMask& mask : plan.masks) {
        std::vector<uint8_t> region;
        std::string reason;
        if (!context.convertMask || !context.convertMask(mask.image.path, &region, &reason) ||
            region.empty()) {
            *message = "Cannot use the mask image \"" + mask.image.path + "\"" +
                       (reason.empty() ? std::string(".") : ": " + reason + ".");
            return false;
        }
        regions->push_back(std::move(region));
    }
    return true;
}

std::string PayloadFailure(const PayloadWriter& writer, const std::string& output) {
    if (!writer.failedSource().empty()) {
        return "Cannot read the file \"" + writer.failedSource() + "\" (" +
               ToString(writer.error()) + ").";
    }
    return "Cannot write the projector \"" + output + "\" (" + ToString(writer.error()) + ").";
}

}  // namespace

ExportResult BuildWindowsTarget(const Project& project, const ExportPlan& plan,
                                const ExportContext& context) {
    const std::string& name = project.OutputFileName(ExportTarget::Windows);
    const std::string output = project.OutputPath(ExportTarget::Windows);
    if (!IsValidOutputName(name))
        return Failed("The output name \"" + name + "\" is not a valid file name.");
    if (PathExists(output) && !project.ExportPermission(ExportTarget::Windows)) return {};
    if (IsDirectory(output))
        return Failed("A folder is in the way of the projector \"" + output + "\".");
    if (context.stub.empty()) return Failed("The projector stub is missing.");

    std::vector<uint8_t> stub;
    std::vector<std::vector<uint8_t>> regions;
    std::string message;
    if (!PrepareStub(project, context, &stub, &message) ||
        !ConvertMasks(plan, context, &regions, &message)) {
        return Failed(message);
    }

    const std::string folder = AbsoluteOutputFolder(project);
    const std::string work = MakeWorkFolder(folder);
    if (work.empty()) return Failed("Cannot write into the output folder \"" + folder + "\".");
    const std::string partial = JoinPath(work, name);
    ExportResult result;
    if (!WriteFileChecked(partial, std::string(stub.begin(), stub.end()))) {
        result = Failed("Cannot write the projector \"" + output + "\".");
    } else {
        PayloadWriter writer(partial);
        writer.requireReadableSources();
        if (context.progress) {
            writer.setProgress([&](uint64_t done) { context.progress(done, plan.sourceBytes); });
        }
        writer.writeStartMarker();
        // Masks first: the reader meets them last, after files they may
        // share a name with.
        for (size_t i = 0; i < plan.masks.size(); ++i) {
            writer.writeMaskItem(regions[i], plan.masks[i].image.name, plan.masks[i].windowIndex);
        }
        for (const ExportSource& source : plan.sources) {
            if (source.isFolder) {
                writer.writeFolderItem(source.path);
            } else {
                writer.writeFileItem(source.path);
            }
        }
        writer.writeSettingsItem(WriteSettingsDocument(plan.settings));
        if (!writer.writeEndMark()) {
            result = Failed(PayloadFailure(writer, output));
        } else if (!PutInPlace(partial, output, work)) {
            result = Failed("Cannot put the projector in place as \"" + output + "\".");
        }
    }
    RemoveDirectoryTree(work);
    return result;
}

}  // namespace kestrel
