// Formatted field text: HTML in and out, format ranges, replacing.
#include "player/runtime/rich_text.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

TextFormat Base() {
    TextFormat f;
    f.font = std::string("Times New Roman");
    f.size = 12;
    f.color = 0;
    f.bold = f.italic = f.underline = f.bullet = f.kerning = false;
    f.url = f.target = std::string();
    f.align = TextAlign::Left;
    f.leftMargin = f.rightMargin = f.indent = f.blockIndent = 0;
    f.leading = 2;
    f.letterSpacing = 0.0;
    f.tabStops = std::vector<int32_t>();
    return f;
}

const char* const kFont =
    "<FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
    "KERNING=\"0\">";

TEST(RichText, HtmlIsReadIntoParagraphsAndWrittenBackInThePlayersForm) {
    RichText t;
    t.SetHtml(
        "<p class='x'><textformat leftmargin='5'>hello <b>bold</b> &amp; "
        "&#65;</textformat></p><p>next</p>",
        Base(), false);
    EXPECT_EQ(t.PlainText(), "hello bold & A\rnext");
    EXPECT_EQ(t.ToHtml(),
              std::string("<TEXTFORMAT LEFTMARGIN=\"5\" LEADING=\"2\"><P ALIGN=\"LEFT\">") + kFont +
                  "hello <B>bold</B> &amp; A</FONT></P></TEXTFORMAT>" +
                  "<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">" + kFont +
                  "next</FONT></P></TEXTFORMAT>");
}

TEST(RichText, BreaksAndWhiteSpace) {
    struct Case {
        const char* html;
        bool condense;
        const char* plain;
    };
    const Case cases[] = {
        {"a<br>b<br/>c", false, "a\rb\rc"},
        {"a\nb", false, "a\rb"},
        {"a \n\t b", true, "a b"},
        {"<p>a</p><p>b</p>", false, "a\rb"},
        {"a<p>b</p>", false, "a\rb"},
        {"<li>x</li>y", false, "x\ry"},
        {"a &lt;b&gt; &bogus; &", false, "a <b> &bogus; &"},
        {"cut <b", false, "cut "},
    };
    for (const Case& c : cases) {
        RichText t;
        t.SetHtml(c.html, Base(), c.condense);
        EXPECT_EQ(t.PlainText(), c.plain) << c.html;
    }
}

TEST(RichText, ParagraphBreakKeepsTheFormatOfItsParagraph) {
    RichText t;
    t.SetHtml("<p><font kerning=\"1\">Noto</font></p><p><font kerning=\"1\">Sans</font></p>",
              Base(), false);
    EXPECT_EQ(t.FormatOf(0, t.Length()).kerning, true);
}

TEST(RichText, FontColoursReadAsFarAsTheHexDigitsGo) {
    struct Case {
        const char* color;
        std::optional<uint32_t> expected;  // nullopt: the outer colour stays
    };
    const Case cases[] = {{"#abf", 0xABF},        {"#2g", 0x2},
                          {"# 234567", 0x234567}, {" #234567", std::nullopt},
                          {"#g", std::nullopt},   {"#123456789abcdef", 0xABCDEF}};
    for (const Case& c : cases) {
        RichText t;
        TextFormat base = Base();
        base.color = 0x123456;
        t.SetHtml(std::string("<font color=\"") + c.color + "\">x</font>", base, false);
        EXPECT_EQ(t.FormatOf(0, 1).color, c.expected.value_or(0x123456)) << c.color;
    }
}

TEST(RichText, FormatRangesNestFontElementsAndReturnToOuterOnes) {
    RichText t;
    t.SetPlainText("hello bolded world", Base());
    TextFormat noto;
    noto.font = std::string("Noto Sans");
    t.ApplyFormat(4, 10, noto);
    TextFormat big;
    big.size = 14;
    TextFormat times;
    times.font = std::string("Times New Roman");
    t.ApplyFormat(8, 15, big);
    t.ApplyFormat(10, 15, times);
    EXPECT_EQ(t.ToHtml(),
              std::string("<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">") + kFont +
                  "hell<FONT FACE=\"Noto Sans\">o bo<FONT SIZE=\"14\">ld<FONT FACE=\"Times New "
                  "Roman\">ed wo</FONT></FONT></FONT>rld</FONT></P></TEXTFORMAT>");
    TextFormat mixed = t.FormatOf(0, 18);
    EXPECT_FALSE(mixed.font);
    EXPECT_FALSE(mixed.size);
    EXPECT_EQ(mixed.color, 0u);
}

TEST(RichText, ParagraphSettingsCoverWholeParagraphs) {
    RichText t;
    t.SetPlainText("one\ntwo\r\nthree", Base());
    EXPECT_EQ(t.PlainText(), "one\rtwo\rthree");
    TextFormat center;
    center.align = TextAlign::Center;
    t.ApplyFormat(5, 6, center);  // inside "two"
    EXPECT_EQ(t.FormatOf(0, 1).align, TextAlign::Left);
    EXPECT_EQ(t.FormatOf(4, 5).align, TextAlign::Center);
    EXPECT_EQ(t.FormatOf(7, 8).align, TextAlign::Center);  // the break ending "two"
    EXPECT_EQ(t.FormatOf(8, 9).align, TextAlign::Left);
}

TEST(RichText, ReplaceKeepsTheFormatsAround) {
    RichText t;
    t.SetPlainText("abcdef", Base());
    TextFormat bold;
    bold.bold = true;
    t.ApplyFormat(0, 3, bold);
    TextFormat plain = Base();
    t.Replace(2, 4, "XY", plain);
    EXPECT_EQ(t.PlainText(), "abXYef");
    EXPECT_EQ(t.FormatOf(1, 2).bold, true);
    EXPECT_EQ(t.FormatOf(2, 4).bold, false);
    t.Replace(99, 120, "!", plain);  // past the end: appended
    EXPECT_EQ(t.PlainText(), "abXYef!");
    t.Replace(0, 99, "", plain);
    EXPECT_EQ(t.Length(), 0u);
    EXPECT_EQ(t.ToHtml(), std::string("<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">") + kFont +
                              "</FONT></P></TEXTFORMAT>");
}

}  // namespace
}  // namespace kestrel::runtime
