#include "projector/api/dialogs_family.h"

#include <gtest/gtest.h>

#include "tests/projector/api/fake_dialogs.h"
#include "tests/projector/api/family_call.h"

namespace kestrel {
namespace {

using test::B64;

class DialogsFamilyTest : public ::testing::Test {
  protected:
    std::string Answer(std::string_view method, std::vector<std::string> args = {}) {
        return test::FamilyAnswer(family, method, args);
    }
    test::FakeDialogs dialogs;
    DialogIdCounters counters;
    DialogsFamily family{dialogs, counters};
};

TEST_F(DialogsFamilyTest, MessageBoxAnswersTheWordOfThePressedButton) {
    using A = MessageBoxAnswer;
    struct Case {
        const char* buttons;
        A pressed;
        const char* answer;
    } cases[] = {
        {"ok", A::Ok, "<string>ok</string>"},
        {"ok", A::None, "<string>ok</string>"},
        {"maybe", A::Ok, "<string>ok</string>"},
        {"ok_cancel", A::Ok, "<string>ok</string>"},
        {"ok_cancel", A::Cancel, "<string>cancel</string>"},
        {"yes_no", A::Yes, "<string>yes</string>"},
        {"yes_no", A::No, "<string>no</string>"},
        {"yes_no_cancel", A::No, "<string>no</string>"},
        {"yes_no_cancel", A::Cancel, "<string>cancel</string>"},
        {"retry_cancel", A::Retry, "<string>retry</string>"},
        {"retry_cancel", A::Cancel, "<string>cancel</string>"},
        {"abort_retry_ignore", A::Abort, "<string>abort</string>"},
        {"abort_retry_ignore", A::Ignore, "<string>ignore</string>"},
        {"abort_retry_ignore", A::None, "<null/>"},
    };
    for (const Case& c : cases) {
        dialogs.pressed = c.pressed;
        EXPECT_EQ(Answer("messageBox", {B64("T"), B64("M"), B64(c.buttons)}), c.answer)
            << c.buttons;
    }
    EXPECT_EQ(dialogs.boxes[2].buttons, MessageBoxButtons::Ok);  // "maybe"
    EXPECT_EQ(dialogs.boxes[0].title, "T");
    EXPECT_EQ(dialogs.boxes[0].message, "M");
    EXPECT_EQ(dialogs.boxes[0].icon, MessageBoxIcon::None);
}

TEST_F(DialogsFamilyTest, ErrorAndWarningBoxesAnswerNull) {
    dialogs.pressed = MessageBoxAnswer::Yes;
    EXPECT_EQ(Answer("errorBox", {B64("E"), B64("%s%n"), B64("yes_no")}), "<null/>");
    EXPECT_EQ(Answer("warningBox", {B64("W"), "", B64("ok")}), "<null/>");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[0].message, "%s%n");  // shown as it stands
    EXPECT_EQ(dialogs.boxes[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(dialogs.boxes[1].icon, MessageBoxIcon::Warning);
}

TEST_F(DialogsFamilyTest, ChooseColorSwapsToTheSystemOrderAndBack) {
    dialogs.color = 0x00FF00;  // pure green either way
    EXPECT_EQ(Answer("chooseColor", {"255"}), "<string>0x00ff00</string>");
    dialogs.color = 0x0000FF;  // red in the system's order
    EXPECT_EQ(Answer("chooseColor", {"1193046"}), "<string>0xff0000</string>");  // 0x123456
    dialogs.color = std::nullopt;
    EXPECT_EQ(Answer("chooseColor", {"0"}), "<null/>");
    EXPECT_EQ(dialogs.initialColors, (std::vector<std::uint32_t>{0xFF0000, 0x563412, 0}));
}

TEST_F(DialogsFamilyTest, EachKindCountsItsOwnIdsAndUnknownIdsGiveNothing) {
    EXPECT_EQ(Answer("ChooseFile.new"), "<number>1</number>");
    EXPECT_EQ(Answer("ChooseFile.new"), "<number>2</number>");
    EXPECT_EQ(Answer("SaveFile.new"), "<number>1</number>");
    EXPECT_EQ(Answer("ChooseFolder.new"), "<number>1</number>");
    EXPECT_EQ(Answer("SaveFile.show", {"2"}), "(none)");
    EXPECT_EQ(Answer("ChooseFolder.show", {"x"}), "(none)");
    EXPECT_TRUE(dialogs.defaultNames.empty());
    // A second window's family shares the counters but not the objects.
    DialogsFamily other{dialogs, counters};
    std::string_view none;
    EXPECT_EQ(other.Call("ChooseFile.new", ApiArguments(&none, 0)), "<number>3</number>");
    EXPECT_EQ(other.Call("ChooseFile.show", ApiArguments(&none, 0)), std::nullopt);
}

TEST_F(DialogsFamilyTest, MethodsOnlyWhereTheKindHasThem) {
    Answer("SaveFile.new");
    Answer("ChooseFolder.new");
    const char* absent[] = {"SaveFile.setAllowMultiple",
                            "ChooseFolder.setDefaultExtension",
                            "ChooseFolder.setDefaultFilename",
                            "ChooseFolder.setAllowMultiple",
                            "SaveFile.foo",
                            "FTP.show",
                            "chooseColour",
                            "messagebox"};
    for (const char* method : absent)
        EXPECT_EQ(Answer(method, {"1", B64("x")}), "(none)") << method;
    EXPECT_EQ(DialogsFamily::MethodNames().size(), 9u + 8u + 6u + 4u);
}

TEST_F(DialogsFamilyTest, ChooseFileAnswersAFullPathThenBareNames) {
    Answer("ChooseFile.new");
    Answer("ChooseFile.setAllowMultiple", {"1", "TRUE"});
    Answer("ChooseFile.setDefaultFilename", {"1", B64("start.txt")});
    Answer("ChooseFile.setDefaultDirectory", {"1", B64("C:\\ignored")});
    dialogs.files = {ChosenFiles::Outcome::Chosen, {"C:\\d\\a.txt", "b.txt", "c.txt"}};
    EXPECT_EQ(Answer("ChooseFile.show", {"1"}),
              "<array><property id='0'><string>" + B64("C:\\d\\a.txt") +
                  "</string></property><property id='1'><string>" + B64("b.txt") +
                  "</string></property><property id='2'><string>" + B64("c.txt") +
                  "</string></property></array>");
    EXPECT_EQ(dialogs.defaultNames, (std::vector<std::string>{"start.txt"}));
    EXPECT_EQ(dialogs.multiple, (std::vector<bool>{true}));

    dialogs.files = {ChosenFiles::Outcome::Cancelled, {}};
    EXPECT_EQ(Answer("ChooseFile.show", {"1"}), "(none)");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(DialogsFamilyTest, ASelectionTooLongIsToldToTheUser) {
    Answer("ChooseFile.new");
    Answer("ChooseFile.setDialogTitle", {"1", B64("Pick")});
    dialogs.files = {ChosenFiles::Outcome::SelectionTooLong, {}};
    EXPECT_EQ(Answer("ChooseFile.show", {"1"}), "(none)");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Pick");
    EXPECT_NE(dialogs.boxes[0].message.find("Too many files"), std::string::npos);
}

TEST_F(DialogsFamilyTest, SaveAndFolderAnswerResolvedPathsOrNothing) {
    Answer("SaveFile.new");
    Answer("ChooseFolder.new");
    Answer("ChooseFolder.setDialogTitle", {"1", B64("Where to?")});
    dialogs.savePath = "out\\file.txt";
    EXPECT_EQ(Answer("SaveFile.show", {"1"}),
              "<string>" + B64("C:\\Apps\\Show\\out\\file.txt") + "</string>");
    dialogs.folder = "D:\\Music";
    EXPECT_EQ(Answer("ChooseFolder.show", {"1"}), "<string>" + B64("D:\\Music") + "</string>");
    EXPECT_EQ(dialogs.instructions, (std::vector<std::string>{"Where to?"}));
    dialogs.savePath.reset();
    dialogs.folder.reset();
    EXPECT_EQ(Answer("SaveFile.show", {"1"}), "(none)");
    EXPECT_EQ(Answer("ChooseFolder.show", {"1"}), "(none)");
}

}  // namespace
}  // namespace kestrel
