// The export command: builds every target the project ticks (Mac PPC, Mac
// Intel, Mac Universal, Windows, Linux, in that order), asking before an
// existing output is replaced.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/export/export_plan.h"
#include "builder/project.h"

namespace kestrel {

// The answers of the replace prompt, by their numbers.
enum class ReplaceAnswer : int {
    Replace = 1000,
    ReplaceAll = 1001,
    DontReplace = 1002,
    DontReplaceAll = 1003,
    Stop = 1004,
};

struct ExportContext {
    // The projector stub, byte for byte (resource "SKRW" 220 in the builder).
    std::vector<uint8_t> stub;
    // A plug-in library to carry instead of the stub's own; empty keeps it.
    std::vector<uint8_t> plugin;
    // Holds "English.lproj" for the Mac bundles ("pr_tmp" beside the builder).
    std::string macResourcesFolder;
    // Mask image -> region data; false with a message when it cannot.
    std::function<bool(const std::string& imagePath, std::vector<uint8_t>* region,
                       std::string* message)>
        convertMask;
    // Replace prompt for an existing output (file name, folder that holds it).
    std::function<ReplaceAnswer(const std::string& name, const std::string& folder)> askReplace;
    bool alwaysOverwrite = false;
    // Status line texts ("Building Mac PPC"); empty clears it.
    std::function<void(const std::string&)> status;
    // Bytes of movies and extra files copied so far, of `total`.
    std::function<void(uint64_t done, uint64_t total)> progress;
    // Something left as it was that the user should hear about.
    std::function<void(const std::string&)> warn;
};

enum class ExportOutcome { Finished, Stopped, Failed };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Finished;
    std::string message;  // what failed, naming the file
};

ExportResult RunExport(Project& project, const ExportContext& context);

// One target with its permission; used by RunExport, public for tests.
ExportResult BuildWindowsTarget(const Project& project, const ExportPlan& plan,
                                const ExportContext& context);
ExportResult BuildBundleTarget(const Project& project, ExportTarget target, const ExportPlan& plan,
                               const ExportContext& context);

// The Info.plist of a Mac bundle; `iconName` is already the file name.
std::string MakeInfoPlist(const std::string& iconName);
inline constexpr char kPkgInfo[] = "APPLLKsk";

}  // namespace kestrel
