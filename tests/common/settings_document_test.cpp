#include <gtest/gtest.h>

#include <climits>

#include "common/file_system.h"
#include "common/settings_reader.h"
#include "common/settings_writer.h"
#include "common/xml_text_writer.h"

namespace kestrel {
namespace {

const std::string kFolder = "unpack";

SettingsResult Read(const std::string& document) {
    return ReadSettingsDocumentFromMemory(document.data(), document.size(), kFolder);
}

// A document with one main window carrying `attributes`.
WindowDefinition ReadWindow(const std::string& attributes) {
    SettingsResult result = Read("<xml version=\"1.0\">\n<windows>\n<window " + attributes +
                                 " >\n<sub_data>\n</sub_data>\n</window>\n</windows>\n\n</xml>\n");
    EXPECT_EQ(result.error, SettingsError::None);
    return result.mainWindow;
}

const char kDefaultLine[] =
    " window_type=\"standard\" mask=\"\" window_style=\"normal\" window_has_maximize=\"true\""
    " window_has_minimize=\"true\" window_has_close=\"true\" window_is_resizable=\"false\""
    " window_is_visible=\"false\" window_has_menu=\"false\" window_size=\"swf_size\""
    " window_position=\"custom\" window_x=\"20\" window_y=\"60\" window_width=\"320\""
    " window_height=\"240\" window_width_percent=\"100\" window_height_percent=\"100\""
    " window_fullscreen=\"false\" left_mouse_action=\"flash\" right_mouse_action=\"flash\""
    " exit_on_escape=\"true\" use_flash_bgcolor=\"false\" flash_bgcolor=\"0\""
    " flash_quality=\"high\" flash_scale=\"show_all\" flash_show_menu=\"true\""
    " flash_loop_movie=\"false\" >\n";

TEST(SettingsWriter, WritesTheExactDocument) {
    WindowDefinition main;
    main.moviePath = "movie.swf";
    WindowDefinition extra;
    extra.name = "extra";
    main.additionalWindows.push_back(extra);
    std::string expected = std::string("<xml version=\"1.0\">\n<windows>\n") +
                           "<window swf=\"movie.swf\" window_name=\"\" window_title=\"Window\"" +
                           kDefaultLine + "<sub_data>\n" +
                           "<window swf=\"\" window_name=\"extra\" window_title=\"Window\"" +
                           kDefaultLine + "<sub_data>\n</sub_data>\n</window>\n" +
                           "</sub_data>\n</window>\n</windows>\n\n</xml>\n";
    EXPECT_EQ(WriteSettingsDocument(main), expected);
}

TEST(SettingsWriter, OutOfRangeNumbersWriteEmptyWords) {
    WindowDefinition main;
    main.quality = static_cast<FlashQuality>(9);
    main.type = static_cast<WindowType>(-1);
    std::string document = WriteSettingsDocument(main);
    EXPECT_NE(document.find(" flash_quality=\"\" "), std::string::npos);
    EXPECT_NE(document.find(" window_type=\"\" "), std::string::npos);
    EXPECT_EQ(Read(document).mainWindow.quality, FlashQuality::High);
}

TEST(XmlTextWriter, EscapesEveryByteAsSpecified) {
    EXPECT_EQ(EscapeXmlText("a\nb\rc\"d&e'f<g>h"), "a&#x0a;b&#x0d;c&quot;d&amp;e&apos;f&lt;g&gt;h");
    EXPECT_EQ(EscapeXmlText("caf\xe9\x80\xff"), "caf&#xe9;&#x80;&#xff;");
    EXPECT_EQ(EscapeXmlText("tab\tok"), "tab\tok");

    XmlTextWriter xml;
    xml.beginStartTag("a");
    xml.attribute("t", "x<y");
    xml.endStartTag();
    xml.text("1&2");
    xml.endTag("a");
    xml.lineEnd();
    EXPECT_EQ(xml.result(), "<a t=\"x&lt;y\">1&amp;2</a>\r\n");
}

TEST(SettingsDocument, TextsRoundTripUnchanged) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    const std::string texts[] = {"plain",
                                 "",
                                 "say \"hi\"",
                                 "fish & chips",
                                 "<b>bold</b>",
                                 "it's",
                                 "line\r\nbreak\nlf",
                                 "caf\xe9 \xff\x80",
                                 "&amp; literally",
                                 "&#x41;",
                                 everyByte};
    for (const std::string& text : texts) {
        WindowDefinition main;
        main.title = text;
        main.name = text;
        main.moviePath = text;
        WindowDefinition extra;
        extra.title = text + "2";
        main.additionalWindows.push_back(extra);
        SettingsResult result = Read(WriteSettingsDocument(main));
        ASSERT_EQ(result.error, SettingsError::None);
        EXPECT_EQ(result.mainWindow.title, text);
        EXPECT_EQ(result.mainWindow.name, text);
        EXPECT_EQ(result.mainWindow.moviePath, JoinPath(kFolder, text));
        ASSERT_EQ(result.mainWindow.additionalWindows.size(), 1u);
        EXPECT_EQ(result.mainWindow.additionalWindows[0].title, text + "2");
    }
}

TEST(SettingsDocument, EveryFieldRoundTrips) {
    WindowDefinition main;
    main.name = "main";
    main.title = "Title";
    main.maskPath = "mask.png";
    main.type = WindowType::Transparent;
    main.style = WindowStyle::NoBorder;
    main.sizeMode = WindowSizeMode::ScreenPercent;
    main.positionMode = WindowPositionMode::Center;
    main.x = -5;
    main.y = 7;
    main.width = 800;
    main.height = 600;
    main.widthPercent = 50;
    main.heightPercent = 75;
    main.hasMaximize = main.hasMinimize = main.hasClose = false;
    main.resizable = main.visible = main.hasMenu = main.fullScreen = true;
    main.exitOnEscape = false;
    main.useBackgroundColor = true;
    main.backgroundColor = 0xFFFFFFFFu;
    main.showFlashMenu = false;
    main.loopMovie = true;
    main.leftMouseAction = MouseAction::Drag;
    main.rightMouseAction = MouseAction::CustomMenu;
    main.quality = FlashQuality::AutoLow;
    main.scale = FlashScale::ExactFit;

    WindowDefinition read = Read(WriteSettingsDocument(main)).mainWindow;
    // Paths come back inside the unpack folder; everything else as written.
    EXPECT_EQ(read.maskPath, JoinPath(kFolder, "mask.png"));
    EXPECT_EQ(read.moviePath, JoinPath(kFolder, ""));
    read.maskPath = main.maskPath;
    read.moviePath = main.moviePath;
    EXPECT_EQ(WriteSettingsDocument(read), WriteSettingsDocument(main));
}

TEST(SettingsReader, AbsentAttributesKeepTheDefaults) {
    WindowDefinition read = ReadWindow("");
    EXPECT_EQ(WriteSettingsDocument(read), WriteSettingsDocument(WindowDefinition()));
    EXPECT_EQ(read.moviePath, "");
    EXPECT_EQ(read.title, "Window");
}

TEST(SettingsReader, Flags) {
    const std::pair<const char*, bool> cases[] = {
        {"true", true}, {"TRUE", true}, {"True", true},   {"tRuE", true},   {"false", false},
        {"yes", false}, {"1", false},   {" true", false}, {"true ", false}, {"", false}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseFlag(text), expected) << text;
        EXPECT_EQ(ReadWindow(std::string("window_is_visible=\"") + text + "\"").visible, expected);
    }
}

TEST(SettingsReader, WordsAreExactAndUnknownWordsChangeNothing) {
    EXPECT_EQ(ReadWindow("window_type=\"Mask\"").type, WindowType::Standard);
    EXPECT_EQ(ReadWindow("window_type=\"mask\"").type, WindowType::Mask);
    EXPECT_EQ(ReadWindow("window_style=\"tool\"").style, WindowStyle::Tool);
    EXPECT_EQ(ReadWindow("window_size=\"custom\"").sizeMode, WindowSizeMode::Custom);
    EXPECT_EQ(ReadWindow("window_size=\"\"").sizeMode, WindowSizeMode::SwfSize);
    EXPECT_EQ(ReadWindow("flash_quality=\"best\"").quality, FlashQuality::Best);
    EXPECT_EQ(ReadWindow("flash_quality=\"BEST\"").quality, FlashQuality::High);
    EXPECT_EQ(ReadWindow("right_mouse_action=\"ignore\"").rightMouseAction, MouseAction::Ignore);
    EXPECT_EQ(ReadWindow("flash_scale=\"no_border\"").scale, FlashScale::NoBorder);
}

TEST(SettingsReader, IntegersFollowAtol) {
    const std::pair<const char*, int32_t> cases[] = {{"12px", 12},
                                                     {"px", 0},
                                                     {"", 0},
                                                     {"  -5", -5},
                                                     {"+7", 7},
                                                     {"\t\n42", 42},
                                                     {"- 3", 0},
                                                     {"99999999999", INT32_MAX},
                                                     {"-99999999999", INT32_MIN},
                                                     {"0x10", 0},
                                                     {"3.9", 3}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseDecimalInt(text), expected) << text;
    }
    EXPECT_EQ(ReadWindow("window_x=\"12px\" window_y=\"px\"").x, 12);
    EXPECT_EQ(ReadWindow("window_x=\"12px\" window_y=\"px\"").y, 0);
    EXPECT_EQ(ParseDecimalUInt("16777215"), 16777215u);
    EXPECT_EQ(ParseDecimalUInt("4294967295"), 4294967295u);
    EXPECT_EQ(ParseDecimalUInt("-1"), 4294967295u);
    EXPECT_EQ(ParseDecimalUInt("99999999999"), 4294967295u);
}

TEST(SettingsReader, DecodesReferencesItselfAndKeepsOtherAmpersands) {
    const std::pair<const char*, const char*> cases[] = {{"&quot;&apos;&amp;&lt;&gt;", "\"'&<>"},
                                                         {"&#x41;", "A"},
                                                         {"&#x141;", "A"},
                                                         {"&#xe9;", "\xe9"},
                                                         {"&#xE9;", "\xe9"},
                                                         {"&#x0a;&#x0d;", "\n\r"},
                                                         {"&#x;", "&#x;"},
                                                         {"&#x41", "&#x41"},
                                                         {"&#x41 ;", "&#x41 ;"},
                                                         {"&#65;", "&#65;"},
                                                         {"&nbsp;", "&nbsp;"},
                                                         {"a & b", "a & b"},
                                                         {"&", "&"},
                                                         {"&amp;amp;", "&amp;"},
                                                         {"&#X41;", "&#X41;"}};
    for (const auto& [raw, decoded] : cases) EXPECT_EQ(DecodeAttributeText(raw), decoded) << raw;
}

TEST(SettingsReader, RawValuesReachTheDecoderUnchanged) {
    // High bytes as they stand, line ends and tabs not normalised.
    EXPECT_EQ(ReadWindow("window_title=\"caf\xe9 \xff\"").title, "caf\xe9 \xff");
    EXPECT_EQ(ReadWindow("window_title=\"a\r\nb\tc\"").title, "a\r\nb\tc");
    EXPECT_EQ(ReadWindow("window_title='single \"quoted\"'").title, "single \"quoted\"");
}

TEST(SettingsReader, ErrorCodes) {
    const std::pair<std::string, SettingsError> cases[] = {
        {"", SettingsError::CannotParse},
        {"not xml at all", SettingsError::CannotParse},
        {"<xml><windows>", SettingsError::CannotParse},
        {"<xml/>", SettingsError::NoChildList},
        {"<xml version=\"1.0\"></xml>", SettingsError::NoChildList},
        {"<xml><other/></xml>", SettingsError::None}};
    for (const auto& [document, error] : cases) EXPECT_EQ(Read(document).error, error) << document;
    EXPECT_EQ(ReadSettingsDocument("/no/such/folder/sk.dat", kFolder).error,
              SettingsError::CannotParse);
}

TEST(SettingsReader, EveryWindowElementIsReadIntoTheMainWindow) {
    SettingsResult result = Read(
        "<xml><windows><window window_name=\"a\" window_x=\"1\"/>"
        "<window window_name=\"b\"><sub_data><window window_name=\"c\"/><other/>"
        "<window window_name=\"d\"><sub_data><window window_name=\"e\"/></sub_data></window>"
        "</sub_data></window></windows></xml>");
    ASSERT_EQ(result.error, SettingsError::None);
    EXPECT_EQ(result.mainWindow.name, "b");
    EXPECT_EQ(result.mainWindow.x, 1);
    ASSERT_EQ(result.mainWindow.additionalWindows.size(), 2u);
    EXPECT_EQ(result.mainWindow.additionalWindows[1].name, "d");
    ASSERT_EQ(result.mainWindow.additionalWindows[1].additionalWindows.size(), 1u);
    EXPECT_EQ(result.mainWindow.additionalWindows[1].additionalWindows[0].name, "e");
}

}  // namespace
}  // namespace kestrel
