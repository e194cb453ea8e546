#include "builder/help_location.h"

#include "common/file_system.h"

namespace kestrel {

std::vector<HelpSource> HelpSources(const std::string& programFolder,
                                    const std::function<bool(const std::string&)>& isFile) {
    std::vector<HelpSource> sources;
    const std::string compiled = JoinPath(programFolder, kCompiledHelpName);
    if (isFile(compiled)) sources.push_back({HelpKind::CompiledHelp, compiled});
    const std::string pages = JoinPath(JoinPath(programFolder, kHelpPagesFolder), kHelpStartPage);
    if (isFile(pages)) sources.push_back({HelpKind::HelpPages, pages});
    return sources;
}

std::vector<HelpSource> HelpSources(const std::string& programFolder) {
    return HelpSources(programFolder, [](const std::string& path) {
        // A folder that happens to carry the file's name is no help.
        return PathExists(path) && !IsDirectory(path);
    });
}

}  // namespace kestrel
