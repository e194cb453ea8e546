#include "projector/api/file_dialog_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

std::vector<char> Bytes(const std::string& text) {
    return std::vector<char>(text.begin(), text.end());
}

TEST(FileDialogBufferTest, TheDefaultNameIsCopiedWithinTheBuffer) {
    std::vector<char> buffer = MakeFileNameBuffer(16, "report.txt");
    ASSERT_EQ(buffer.size(), 16u);
    EXPECT_STREQ(buffer.data(), "report.txt");
    // Too long: cut so the buffer still ends in two zeros.
    std::vector<char> cut = MakeFileNameBuffer(8, std::string(5000, 'n'));
    EXPECT_EQ(std::string(cut.data()), "nnnnnn");
    EXPECT_EQ(cut[6], '\0');
    EXPECT_EQ(cut[7], '\0');
    EXPECT_EQ(MakeFileNameBuffer(kSingleFileBufferSize, std::string(9000, 'x')).size(),
              kSingleFileBufferSize);
    EXPECT_EQ(MakeFileNameBuffer(1, "a"), std::vector<char>(1, '\0'));
}

TEST(FileDialogBufferTest, ChosenFilesFromOnePathOrAFolderAndNames) {
    struct Case {
        std::string buffer;
        std::vector<std::string> files;
    } cases[] = {
        {std::string("C:\\d\\a.txt\0\0", 12), {"C:\\d\\a.txt"}},
        {std::string("C:\\d\0a.txt\0b.txt\0c\0\0", 21), {"C:\\d\\a.txt", "b.txt", "c"}},
        {std::string("C:\\\0a.txt\0b\0\0", 13), {"C:\\a.txt", "b"}},
        {std::string("\0\0", 2), {}},
        // No terminating zeros at all: reading stops at the end.
        {std::string("C:\\d\0a.txt\0b.t", 14), {"C:\\d\\a.txt", "b.t"}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadChosenFiles(Bytes(c.buffer)), c.files);
}

}  // namespace
}  // namespace kestrel
