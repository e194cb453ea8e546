// Which help the Help command tries, and in which order, for each mix of
// files beside the program.
#include "builder/help_location.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kestrel {
namespace {

struct HelpCase {
    const char* name;
    std::set<std::string> files;  // names under the program folder
    std::vector<HelpKind> expected;
};

class HelpSourcesTest : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpSourcesTest, TriesWhatIsThereBestFirst) {
    const std::string folder = JoinPath("prog", "kestrel");
    std::set<std::string> present;
    for (const std::string& name : GetParam().files) present.insert(JoinPath(folder, name));
    const std::vector<HelpSource> sources =
        HelpSources(folder, [&](const std::string& path) { return present.count(path) > 0; });

    ASSERT_EQ(sources.size(), GetParam().expected.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(sources[i].kind, GetParam().expected[i]);
        EXPECT_TRUE(present.count(sources[i].path)) << sources[i].path;
    }
}

const std::string kChm = kCompiledHelpName;
const std::string kIndex = JoinPath(kHelpPagesFolder, kHelpStartPage);

INSTANTIATE_TEST_SUITE_P(
    Folders, HelpSourcesTest,
    ::testing::Values(
        HelpCase{"Both", {kChm, kIndex}, {HelpKind::CompiledHelp, HelpKind::HelpPages}},
        HelpCase{"CompiledOnly", {kChm}, {HelpKind::CompiledHelp}},
        HelpCase{"PagesOnly", {kIndex}, {HelpKind::HelpPages}}, HelpCase{"Neither", {}, {}},
        // A pages folder without its start page is no help.
        HelpCase{"PagesWithoutStartPage", {JoinPath(kHelpPagesFolder, "menu-file.html")}, {}},
        // Names are looked up as they are written.
        HelpCase{"OtherNames", {"Kestrel Help.html", "help.chm", "index.html"}, {}}),
    [](const ::testing::TestParamInfo<HelpCase>& info) { return info.param.name; });

TEST(HelpSources, OnDiskAFolderNamedLikeTheHelpFileIsNoHelp) {
    const std::string folder = JoinPath(::testing::TempDir(), "help_sources_disk");
    RemoveDirectoryTree(folder);
    ASSERT_NE(MakeDirectory(folder), MakeDirectoryResult::Failed);
    ASSERT_NE(MakeDirectory(JoinPath(folder, kCompiledHelpName)), MakeDirectoryResult::Failed);
    EXPECT_TRUE(HelpSources(folder).empty());

    ASSERT_NE(MakeDirectory(JoinPath(folder, kHelpPagesFolder)), MakeDirectoryResult::Failed);
    { std::ofstream(JoinPath(JoinPath(folder, kHelpPagesFolder), kHelpStartPage)) << "<html>"; }
    const std::vector<HelpSource> sources = HelpSources(folder);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].kind, HelpKind::HelpPages);
    EXPECT_TRUE(RemoveDirectoryTree(folder));
}

}  // namespace
}  // namespace kestrel
