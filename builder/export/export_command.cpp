#include "builder/export/export_command.h"

#include "common/file_system.h"

namespace kestrel {

namespace {

const char* StatusText(ExportTarget target) {
    switch (target) {
        case ExportTarget::MacPpc:
            return "Building Mac PPC";
        case ExportTarget::MacIntel:
            return "Building Mac Intel";
        case ExportTarget::MacUniversal:
            return "Building Mac Universal Binary";
        default:
            return "";
    }
}

bool AppliesToAll(ReplaceAnswer answer) {
    return answer == ReplaceAnswer::ReplaceAll || answer == ReplaceAnswer::DontReplaceAll;
}

}  // namespace

ExportResult RunExport(Project& project, const ExportContext& context) {
    for (ExportTarget target : kExportTargets) project.SetExportPermission(target, true);
    bool remembered = false;
    ReplaceAnswer answer = ReplaceAnswer::Replace;
    for (ExportTarget target : kExportTargets) {
        if (!project.OutputEnabled(target)) continue;
        const std::string& name = project.OutputFileName(target);
        if (!IsValidOutputName(name)) {
            return {ExportOutcome::Failed,
                    "The output name \"" + name + "\" is not a valid file name."};
        }
        if (!PathExists(project.OutputPath(target)) || context.alwaysOverwrite) continue;
        if (!remembered || !AppliesToAll(answer)) {
            answer = context.askReplace ? context.askReplace(name, AbsoluteOutputFolder(project))
                                        : ReplaceAnswer::Stop;
            remembered = true;
        }
        if (answer == ReplaceAnswer::Stop) return {ExportOutcome::Stopped, ""};
        project.SetExportPermission(
            target, answer == ReplaceAnswer::Replace || answer == ReplaceAnswer::ReplaceAll);
    }

    ExportPlan plan;
    std::string message;
    if (!MakeExportPlan(project, &plan, &message)) return {ExportOutcome::Failed, message};
    ExportResult result;
    for (ExportTarget target : kExportTargets) {
        if (!project.OutputEnabled(target)) continue;
        if (context.status && *StatusText(target)) context.status(StatusText(target));
        result = target == ExportTarget::Windows
                     ? BuildWindowsTarget(project, plan, context)
                     : BuildBundleTarget(project, target, plan, context);
        if (result.outcome != ExportOutcome::Finished) break;
    }
    if (context.status) context.status("");
    return result;
}

}  // namespace kestrel
