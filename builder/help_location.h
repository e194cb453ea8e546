// Where the builder's help is: the compiled help file beside the program, or
// the same pages as plain HTML in the "help" folder beside it (a build made
// without the help compiler ships those instead).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr char kCompiledHelpName[] = "Kestrel Help.chm";
inline constexpr char kHelpPagesFolder[] = "help";
inline constexpr char kHelpStartPage[] = "index.html";
inline constexpr char kHelpMissingText[] =
    "The help could not be found: neither \"Kestrel Help.chm\" nor the folder \"help\" is in "
    "Kestrel's folder. Please install Kestrel again.";
inline constexpr char kHelpNotShownText[] =
    "The help could not be opened: neither the HTML Help viewer nor a web browser could show it.";

enum class HelpKind { CompiledHelp, HelpPages };

struct HelpSource {
    HelpKind kind;
    std::string path;  // the .chm, or the pages' start page
};

// The help to try, best first, of what is present in `programFolder`: the
// compiled file, then the pages' start page. Empty when neither is there.
// `isFile` answers whether a path names an existing regular file.
std::vector<HelpSource> HelpSources(const std::string& programFolder,
                                    const std::function<bool(const std::string&)>& isFile);
// The same, looking on disk.
std::vector<HelpSource> HelpSources(const std::string& programFolder);

}  // namespace kestrel
