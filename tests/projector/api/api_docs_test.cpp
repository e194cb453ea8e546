// Every method in the families' dispatch tables is described on its family's
// page in docs/api/, written as `Prefix.method` (the page may name several
// methods in one heading), and no heading names a method the family does not
// have. A family joins by adding one row.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "projector/api/api_init_family.h"
#include "projector/api/applescript_family.h"
#include "projector/api/application_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/dialogs_family.h"
#include "projector/api/dll_family.h"
#include "projector/api/file_system_family.h"
#include "projector/api/menu_family.h"
#include "projector/api/network_family.h"
#include "projector/api/registry_family.h"
#include "projector/api/system_family.h"
#include "projector/api/window_family.h"

namespace kestrel {
namespace {

struct FamilyPage {
    const char* page;    // under docs/api/
    const char* prefix;  // the family prefix
    std::vector<std::string> methods;
};

std::vector<FamilyPage> DocumentedFamilies() {
    return {
        {"filesystem.md", "FileSystem.", FileSystemFamily::MethodNames()},
        {"registry.md", "Registry.", RegistryFamily::MethodNames()},
        {"system.md", "System.", SystemFamily::MethodNames()},
        {"dialogs.md", "Dialogs.", DialogsFamily::MethodNames()},
        {"network.md", "Network.", NetworkFamily::MethodNames()},
        {"clipboard.md", "Clipboard.", ClipboardFamily::MethodNames()},
        {"application.md", "Application.", ApplicationFamily::MethodNames()},
        {"applescript.md", "AppleScript.", AppleScriptFamily::MethodNames()},
        {"dll.md", "DLL.", DllFamily::MethodNames()},
        {"api.md", "Api.", ApiInitFamily::MethodNames()},
        {"window.md", "Window.", WindowFamily::MethodNames()},
        {"menu.md", "Menu.", MenuFamily::MethodNames()},
    };
}

// The page's "### " heading lines, joined.
std::string PageHeadings(const std::string& name) {
    std::ifstream file(std::string(KESTREL_SOURCE_DIR) + "/docs/api/" + name);
    std::string line, headings;
    while (std::getline(file, line))
        if (line.rfind("### ", 0) == 0) headings += line + "\n";
    return headings;
}

TEST(ApiDocs, EveryDispatchedMethodHasItsPageEntry) {
    for (const FamilyPage& family : DocumentedFamilies()) {
        const std::string headings = PageHeadings(family.page);
        ASSERT_FALSE(headings.empty()) << "docs/api/" << family.page << " is missing";
        EXPECT_FALSE(family.methods.empty()) << family.prefix;
        for (const std::string& method : family.methods) {
            const std::string entry = "`" + std::string(family.prefix) + method + "`";
            EXPECT_NE(headings.find(entry), std::string::npos)
                << "no heading for " << entry << " in docs/api/" << family.page;
        }
    }
}

// Every `Prefix.method` a heading names, without the prefix.
std::vector<std::string> NamedMethods(const std::string& headings, const std::string& prefix) {
    std::vector<std::string> named;
    const std::string opening = "`" + prefix;
    for (std::size_t at = headings.find(opening); at != std::string::npos;
         at = headings.find(opening, at + 1)) {
        const std::size_t start = at + opening.size();
        const std::size_t end = headings.find('`', start);
        if (end == std::string::npos) break;
        named.push_back(headings.substr(start, end - start));
    }
    return named;
}

TEST(ApiDocs, EveryHeadingNamesADispatchedMethod) {
    for (const FamilyPage& family : DocumentedFamilies()) {
        const std::string headings = PageHeadings(family.page);
        for (const std::string& named : NamedMethods(headings, family.prefix)) {
            EXPECT_NE(std::find(family.methods.begin(), family.methods.end(), named),
                      family.methods.end())
                << "docs/api/" << family.page << " describes " << family.prefix << named
                << ", which the family does not have";
        }
    }
}

TEST(ApiDocs, IndexListsEveryFamilyPage) {
    std::ifstream file(std::string(KESTREL_SOURCE_DIR) + "/docs/api/README.md");
    const std::string index((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    ASSERT_FALSE(index.empty()) << "docs/api/README.md is missing";
    for (const FamilyPage& family : DocumentedFamilies()) {
        EXPECT_NE(index.find("`" + std::string(family.prefix) + "`"), std::string::npos)
            << family.prefix;
        EXPECT_NE(index.find("(" + std::string(family.page) + ")"), std::string::npos)
            << family.page;
    }
}

}  // namespace
}  // namespace kestrel
