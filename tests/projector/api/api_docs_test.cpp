// Every method in the families' dispatch tables is described on its family's
// page in docs/api/, written as `Prefix.method` (the page may name several
// methods in one heading). A family joins by adding one row.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "projector/api/application_family.h"
#include "projector/api/applescript_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/dialogs_family.h"
#include "projector/api/dll_family.h"
#include "projector/api/file_system_family.h"
#include "projector/api/network_family.h"
#include "projector/api/registry_family.h"
#include "projector/api/system_family.h"

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

}  // namespace
}  // namespace kestrel
