// TextField as scripts see it: prototype properties, variable binding, autoSize.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class TextFieldTest : public ::testing::Test {
  protected:
    void load(const std::string& description) {
        std::string error;
        auto bytes = swf::CompileDescription(description, error);
        ASSERT_TRUE(bytes) << error;
        player().traceOutput().openFile("");
        ASSERT_TRUE(player().load(bytes->data(), bytes->size()));
    }
    void loadEmpty(int version) { load("version " + std::to_string(version) + "\nshowframe\n"); }
    avm1::Vm& vm() { return player().vm(); }
    Value root() { return Value(player().rootObject()); }
    Value get(const Value& o, const char* name) { return vm().getMember(o, name); }
    void set(const Value& o, const char* name, Value v) { vm().setMember(o, name, v); }
    std::string str(const Value& v) { return vm().toString(v); }
    Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
        return vm().callMethod(o, method, args).value_or(Value());
    }
    // Reached by name: createTextField returns the field only from SWF 8 on.
    Value newField(const char* name, double x, double width) {
        call(root(), "createTextField",
             {Value(name), Value(1), Value(x), Value(10), Value(width), Value(20)});
        return get(root(), name);
    }
    std::vector<std::string> enumerate(const Value& o) {
        std::vector<std::string> names;
        for (const auto& p : o.asObject()->properties())
            if (!(p.flags & avm1::kDontEnum)) names.push_back(p.name);
        return names;
    }

    MoviePlayer& player() { return *owned; }
    std::unique_ptr<MoviePlayer> owned = std::make_unique<MoviePlayer>();
};

TEST_F(TextFieldTest, PropertiesLiveOnThePrototypeAndAnswerUndefinedOffAField) {
    loadEmpty(8);
    Value proto = get(get(Value(vm().global()), "TextField"), "prototype");
    std::vector<std::string> names = enumerate(proto);
    ASSERT_GE(names.size(), 35u);
    EXPECT_EQ(names.front(), "gridFitType");  // added first, so listed last by for..in
    EXPECT_EQ(names.back(), "styleSheet");
    Value detached = vm().construct(get(Value(vm().global()), "TextField"), {}).value();
    EXPECT_TRUE(get(detached, "text").isUndefined());
    set(detached, "text", Value("x"));
    EXPECT_TRUE(get(detached, "text").isUndefined());
    EXPECT_TRUE(get(detached, "replaceText").isObject());

    Value field = newField("f", 0, 100);
    EXPECT_EQ(str(get(field, "antiAliasType")), "normal");
    EXPECT_TRUE(get(field, "restrict").isNull());
    EXPECT_TRUE(get(field, "maxChars").isNull());
    EXPECT_EQ(get(field, "backgroundColor").asNumber(), 0xFFFFFF);
    set(field, "type", Value("input"));
    set(field, "type", Value("bogus"));  // unknown words are ignored
    EXPECT_EQ(str(get(field, "type")), "input");
}

TEST_F(TextFieldTest, OlderMoviesDoNotSeeNewerMembers) {
    loadEmpty(6);
    EXPECT_TRUE(call(root(), "createTextField",
                     {Value("f"), Value(1), Value(0), Value(0), Value(100), Value(20)})
                    .isUndefined());
    Value field = get(root(), "f");
    ASSERT_TRUE(field.isObject());
    EXPECT_TRUE(get(field, "replaceText").isUndefined());
    EXPECT_TRUE(get(field, "antiAliasType").isUndefined());
    set(field, "antiAliasType", Value("test"));  // a plain member in these versions
    EXPECT_EQ(str(get(field, "antiAliasType")), "test");
}

TEST_F(TextFieldTest, ReplaceTextReplacesACharacterRange) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    set(field, "text", Value("h\xC3\xA9llo"));
    call(field, "replaceText", {Value(1), Value(3), Value("EL")});
    EXPECT_EQ(str(get(field, "text")), "hELlo");
    call(field, "replaceText", {Value(4), Value(99), Value("!")});
    EXPECT_EQ(str(get(field, "text")), "hELl!");
    EXPECT_EQ(get(field, "length").asNumber(), 5);
}

TEST_F(TextFieldTest, AutoSizeKeepsTheEdgeItNames) {
    loadEmpty(8);
    struct Case {
        const char* mode;
        double x;  // expected _x after growing from x=50, width=10
    };
    const Case cases[] = {{"none", 50}, {"left", 50}, {"center", 0}, {"right", -50}};
    for (const Case& c : cases) {
        Value field = newField(c.mode, 50, 10);
        set(field, "text", Value("WWWWW"));  // Arial W: 0.944 em; 56.64 px at 12 px
        set(field, "autoSize", Value(c.mode));
        double width = get(field, "_width").asNumber();
        if (std::string(c.mode) == "none") {
            EXPECT_DOUBLE_EQ(width, 10);
            continue;
        }
        EXPECT_DOUBLE_EQ(width, 60.6) << c.mode;  // whole twips
        double grown = width - 10;
        double expected = c.x == 50 ? 50 : c.x == 0 ? 50 - grown / 2 : 50 - grown;
        EXPECT_NEAR(get(field, "_x").asNumber(), expected, 0.01) << c.mode;
        EXPECT_EQ(get(field, "textWidth").asNumber(), 56) << c.mode;
    }
    Value flag = newField("flag", 0, 10);
    set(flag, "autoSize", Value(true));
    EXPECT_EQ(str(get(flag, "autoSize")), "left");
}

TEST_F(TextFieldTest, TextFormatConvertsAssignmentsByVersion) {
    struct Case {
        int version;
        const char* property;
        double assigned;
        double expected;
    };
    const Case cases[] = {
        {8, "size", 2.5, 2},
        {8, "size", 3.5, 4},  // halves to even
        {8, "size", -10.9, -11},
        {7, "size", -10.9, -10},  // older movies cut
        {8, "size", NAN, -2147483648.0},
        {8, "size", 4294967295.0, -2147483648.0},
        {8, "leftMargin", -3, 0},
        {8, "leftMargin", NAN, 0},
        {8, "indent", -3, -3},
        {7, "indent", -3, 0},  // indents kept positive before 8
        {8, "color", -3.5, 4294967293.0},
        {8, "color", NAN, 0},
        {8, "letterSpacing", 2.5, 2.5},
    };
    for (const Case& c : cases) {
        loadEmpty(c.version);
        Value format = vm().construct(get(Value(vm().global()), "TextFormat"), {}).value();
        EXPECT_TRUE(get(format, c.property).isNull());
        set(format, c.property, Value(c.assigned));
        EXPECT_EQ(get(format, c.property).asNumber(), c.expected)
            << "SWF " << c.version << " " << c.property << " = " << c.assigned;
        owned = std::make_unique<MoviePlayer>();
    }
}

TEST_F(TextFieldTest, TextFormatConstructorAndWordFields) {
    loadEmpty(8);
    Value ctor = get(Value(vm().global()), "TextFormat");
    Value format = vm().construct(ctor, {Value("f"), Value(-10.9), Value(), Value(1), Value(),
                                         Value(), Value(), Value(), Value(5), Value(-11)})
                       .value();
    EXPECT_EQ(get(format, "size").asNumber(), -10);        // cut, not rounded
    EXPECT_EQ(get(format, "leftMargin").asNumber(), -11);  // not kept positive
    EXPECT_TRUE(get(format, "align").isNull());            // 5 is no alignment
    EXPECT_EQ(get(format, "bold").asBoolean(), true);
    set(format, "align", Value("right"));
    set(format, "align", Value());  // null and unknown words leave it
    set(format, "align", Value("middle"));
    EXPECT_EQ(str(get(format, "align")), "right");
    EXPECT_EQ(str(get(format, "display")), "block");
    set(format, "display", Value("inline"));
    EXPECT_EQ(str(get(format, "display")), "inline");
    set(format, "display", Value("Inline"));
    EXPECT_EQ(str(get(format, "display")), "block");
    set(format, "font", Value(std::string(70, 'x')));
    EXPECT_EQ(str(get(format, "font")).size(), 64u);
    Value stops(vm().newArray({Value(1.5), Value(2.5), Value("7")}));
    set(format, "tabStops", stops);
    EXPECT_EQ(str(get(format, "tabStops")), "2,2,7");
}

TEST_F(TextFieldTest, FormatsHtmlTextAndNewlinesOfAField) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    set(field, "text", Value("one\ntwo"));
    EXPECT_EQ(str(get(field, "text")), "one\rtwo");
    EXPECT_EQ(str(get(field, "htmlText")), "one\rtwo");  // not an html field
    set(field, "html", Value(true));
    set(field, "htmlText", Value("<b>bold</b> &lt;x&gt;"));
    EXPECT_EQ(str(get(field, "text")), "bold <x>");
    EXPECT_EQ(str(get(field, "htmlText")),
              "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
              "LETTERSPACING=\"0\" KERNING=\"0\"><B>bold</B> &lt;x&gt;</FONT></P>");
    Value ctor = get(Value(vm().global()), "TextFormat");
    Value red = vm().construct(ctor, {}).value();
    set(red, "color", Value(0xFF0000));
    call(field, "setTextFormat", {Value(0), Value(4), red});
    EXPECT_EQ(get(call(field, "getTextFormat", {Value(1)}), "color").asNumber(), 0xFF0000);
    EXPECT_TRUE(get(call(field, "getTextFormat"), "color").isNull());  // mixed
    EXPECT_TRUE(get(call(field, "getTextFormat"), "bold").isNull());
    call(field, "setNewTextFormat", {red});
    set(field, "text", Value("all red"));
    EXPECT_EQ(get(call(field, "getTextFormat"), "color").asNumber(), 0xFF0000);

    set(field, "condenseWhite", Value(true));
    set(field, "htmlText", Value("a \n\n  b"));
    EXPECT_EQ(str(get(field, "text")), "a b");
}

TEST_F(TextFieldTest, FieldsStartInTheirFontsNameAndStyle) {
    load(R"(
version 8
font 1 "Plain Sans"
font 2 "Heavy Sans" bold
edittext 3 0 0 100 20 font=1 size=14 text="a"
edittext 4 0 30 100 20 font=2 text="b"
edittext 5 0 60 100 20 font=2 html text="<p>c</p>"
place 3 depth=1 name="plain"
place 4 depth=2 name="heavy"
place 5 depth=3 name="marked"
showframe
)");
    Value plain = call(get(root(), "plain"), "getTextFormat");
    EXPECT_EQ(str(get(plain, "font")), "Plain Sans");
    EXPECT_EQ(get(plain, "size").asNumber(), 14);
    EXPECT_FALSE(get(plain, "bold").asBoolean());
    EXPECT_TRUE(get(call(get(root(), "heavy"), "getNewTextFormat"), "bold").asBoolean());
    // An html field's styles come from its markup.
    EXPECT_FALSE(get(call(get(root(), "marked"), "getTextFormat"), "bold").asBoolean());
    EXPECT_EQ(str(get(get(root(), "marked"), "text")), "c");
    Value field = newField("made", 0, 100);
    EXPECT_EQ(str(get(call(field, "getNewTextFormat"), "font")), "Times New Roman");
}

TEST_F(TextFieldTest, HtmlParagraphsKeepTheFieldsAlignmentFromSwf8) {
    struct Case {
        int version;
        const char *read, *marked, *empty;  // alignment of html read in, of <P ALIGN>, of none
    };
    const Case cases[] = {{7, "left", "right", "left"}, {8, "center", "right", "left"}};
    for (const Case& c : cases) {
        load("version " + std::to_string(c.version) + R"(
font 1 "Sans"
edittext 2 0 0 100 40 font=1 align=center multiline
edittext 3 0 0 100 40 font=1 align=center multiline html text="a"
edittext 4 0 0 100 40 font=1 align=center multiline html
place 2 depth=1 name="plain"
place 3 depth=2 name="initial"
place 4 depth=3 name="empty"
showframe
)");
        auto align = [&](const Value& field, const char* method) {
            return str(get(call(field, method), "align"));
        };
        Value plain = get(root(), "plain"), initial = get(root(), "initial");
        EXPECT_EQ(align(plain, "getNewTextFormat"), "center") << c.version;
        set(plain, "html", Value(true));
        set(plain, "htmlText", Value("a<br>b"));
        EXPECT_EQ(align(plain, "getTextFormat"), c.read) << c.version;
        EXPECT_EQ(align(plain, "getNewTextFormat"), c.read) << c.version;
        EXPECT_EQ(align(initial, "getTextFormat"), c.read) << c.version;
        EXPECT_EQ(align(initial, "getNewTextFormat"), c.read) << c.version;
        // The new-text format follows the paragraph the markup ends with.
        set(plain, "htmlText", Value("<p align=\"right\">a</p>"));
        EXPECT_EQ(align(plain, "getNewTextFormat"), c.marked) << c.version;
        EXPECT_EQ(align(get(root(), "empty"), "getNewTextFormat"), c.empty) << c.version;
        owned = std::make_unique<MoviePlayer>();
    }
}

TEST_F(TextFieldTest, ScrollMovesByWholeLinesWithinTheText) {
    loadEmpty(8);
    // 12 px device text: lines of 13.4 px; 45 px less the gutters shows three.
    Value field = call(root(), "createTextField",
                       {Value("f"), Value(1), Value(0), Value(0), Value(100), Value(45)});
    set(field, "multiline", Value(true));
    set(field, "text", Value("1\r2\r3\r4\r5\r6\r7\r8\r9\r10"));
    EXPECT_EQ(get(field, "maxscroll").asNumber(), 8);
    EXPECT_EQ(get(field, "bottomScroll").asNumber(), 3);
    struct Case {
        Value assigned;
        double scroll, bottom;
    };
    const Case cases[] = {{Value(4), 4, 6},
                          {Value(100), 8, 10},
                          {Value(-5), 1, 3},
                          {Value("2.7"), 2, 4},
                          {Value(), 1, 3},
                          {Value(767100486418432.9), 8, 10},  // the largest that scrolls
                          {Value(767100486418433.0), 1, 3}};  // past it: back to the top
    for (const Case& c : cases) {
        set(field, "scroll", c.assigned);
        EXPECT_EQ(get(field, "scroll").asNumber(), c.scroll) << str(c.assigned);
        EXPECT_EQ(get(field, "bottomScroll").asNumber(), c.bottom) << str(c.assigned);
    }
    set(field, "text", Value("short"));
    EXPECT_EQ(get(field, "maxscroll").asNumber(), 1);
}

TEST_F(TextFieldTest, ScrollCountsTheLinesOfTheFirstPageInTheirOwnSizes) {
    loadEmpty(8);
    // Device text: a 40 px line of 44.68 px, then 12 px lines of 13.4 px; 64 px less the
    // gutters holds the first two.
    Value field = call(root(), "createTextField",
                       {Value("f"), Value(1), Value(0), Value(0), Value(100), Value(64)});
    set(field, "multiline", Value(true));
    set(field, "html", Value(true));
    set(field, "htmlText", Value("<font size=\"40\">a</font><br>b<br>c<br>d"));
    EXPECT_EQ(get(field, "textHeight").asNumber(), 84);
    EXPECT_EQ(get(field, "bottomScroll").asNumber(), 2);
    // The last three lines would fit, yet scrolling goes by first pages.
    EXPECT_EQ(get(field, "maxscroll").asNumber(), 3);
    set(field, "scroll", Value(3));
    EXPECT_EQ(get(field, "scroll").asNumber(), 3);
    EXPECT_EQ(get(field, "bottomScroll").asNumber(), 4);
}

TEST_F(TextFieldTest, ReplaceSelUsesTheSelectionThatFocusSets) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    Value selection = get(Value(vm().global()), "Selection");
    set(field, "text", Value("text"));
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    EXPECT_EQ(call(selection, "getBeginIndex").asNumber(), -1);
    call(field, "replaceSel", {Value("|")});  // caret at 0 until focused
    EXPECT_EQ(str(get(field, "text")), "|text");

    std::vector<std::string> heard;
    Value listener(vm().newObject());
    set(listener, "onSetFocus", Value(vm().newNativeFunction([&](avm1::NativeCall& c) {
            heard.push_back(str(get(c.arg(0), "_name")) + ">" + str(get(c.arg(1), "_name")));
            return Value();
        })));
    call(selection, "addListener", {listener});
    EXPECT_TRUE(call(selection, "setFocus", {field}).asBoolean());
    EXPECT_EQ(str(call(selection, "getFocus")), "_level0.f");
    EXPECT_EQ(call(selection, "getEndIndex").asNumber(), 5);  // focus selects all
    call(field, "replaceSel", {Value("ab")});
    EXPECT_EQ(str(get(field, "text")), "ab");
    EXPECT_EQ(call(selection, "getCaretIndex").asNumber(), 2);  // after what went in
    set(field, "text", Value("text"));                          // the caret stays
    call(field, "replaceSel", {Value("|")});
    EXPECT_EQ(str(get(field, "text")), "te|xt");
    call(selection, "setSelection", {Value(4), Value(1)});
    EXPECT_EQ(call(selection, "getBeginIndex").asNumber(), 1);
    EXPECT_EQ(call(selection, "getEndIndex").asNumber(), 4);
    call(selection, "setFocus", {Value()});
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    EXPECT_EQ(heard, (std::vector<std::string>{"undefined>f", "f>undefined"}));
}

TEST_F(TextFieldTest, WidthAndHeightResizeTheBoxWithoutScaling) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    set(field, "_width", Value(150.03));
    set(field, "_height", Value(40));
    EXPECT_DOUBLE_EQ(get(field, "_width").asNumber(), 150.05);  // whole twips
    EXPECT_DOUBLE_EQ(get(field, "_height").asNumber(), 40);
    EXPECT_DOUBLE_EQ(get(field, "_xscale").asNumber(), 100);
    set(field, "_xscale", Value(200));
    set(field, "_width", Value(100));
    EXPECT_DOUBLE_EQ(get(field, "_width").asNumber(), 100);
    EXPECT_DOUBLE_EQ(get(field, "_xscale").asNumber(), 200);
    set(field, "_width", Value(-5));  // ignored
    EXPECT_DOUBLE_EQ(get(field, "_width").asNumber(), 100);
}

// An autosized field given a size keeps it only until it fits its text again, from the
// edge autoSize names: the right edge of the box set by _width stays.
TEST_F(TextFieldTest, WidthAndHeightOfAnAutosizedFieldFitItAgain) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    set(field, "text", Value("WWWWW"));
    set(field, "autoSize", Value("right"));
    double x = get(field, "_x").asNumber();
    set(field, "_height", Value(80));
    EXPECT_DOUBLE_EQ(get(field, "_height").asNumber(), 17.4);  // 12 px Arial and the gutters
    set(field, "_width", Value(200));
    EXPECT_DOUBLE_EQ(get(field, "_width").asNumber(), 60.6);
    EXPECT_NEAR(get(field, "_x").asNumber(), x + 200 - 60.6, 0.01);
}

// A field that embeds its fonts draws only with fonts in the movie: without its font
// its text measures nothing and an autosized box shrinks to its gutters.
TEST_F(TextFieldTest, EmbeddedFontsMissingFromTheMovieMeasureNothing) {
    loadEmpty(8);
    for (bool embed : {false, true}) {
        SCOPED_TRACE(embed);
        Value field = newField(embed ? "embedded" : "device", 0, 100);
        set(field, "embedFonts", Value(embed));
        set(field, "text", Value("WWWWW"));
        set(field, "autoSize", Value("left"));
        EXPECT_EQ(get(field, "textWidth").asNumber(), embed ? 0 : 56);
        EXPECT_EQ(get(field, "textHeight").asNumber(), embed ? 0 : 13);
        EXPECT_DOUBLE_EQ(get(field, "_width").asNumber(), embed ? 4 : 60.6);
        EXPECT_DOUBLE_EQ(get(field, "_height").asNumber(), embed ? 4 : 17.4);
    }
}

const char* const kBoundFields = R"(
version 6
font 1 "_sans"
edittext 2 0 0 100 20 font=1 var="theVar" text="Hello"
edittext 3 0 30 100 20 font=1 var="emptyVar"
place 2 depth=1 name="text1"
place 3 depth=2 name="text2"
showframe
)";

TEST_F(TextFieldTest, BoundVariablesFollowTheRulesOfBinding) {
    load(kBoundFields);
    Value text1 = get(root(), "text1");
    EXPECT_EQ(str(get(root(), "theVar")), "Hello");      // seeded when placed
    EXPECT_TRUE(get(root(), "emptyVar").isUndefined());  // an empty field seeds nothing
    set(root(), "THEVAR", Value("Changed"));             // SWF 6: any letter case
    EXPECT_EQ(str(get(text1, "text")), "Changed");       // read at once, not next frame
    set(text1, "text", Value("Typed"));
    EXPECT_EQ(str(get(root(), "theVar")), "Typed");
    set(text1, "variable", Value("other"));  // rebinding starts over
    EXPECT_EQ(str(get(text1, "text")), "Hello");
    EXPECT_EQ(str(get(root(), "other")), "Hello");

    // A plain object's member gives the text only when the field is bound to it.
    Value object(vm().newObject());
    set(object, "v", Value("first"));
    set(root(), "obj", object);
    set(text1, "variable", Value("obj.v"));
    EXPECT_EQ(str(get(text1, "text")), "first");
    set(object, "v", Value("later"));
    EXPECT_EQ(str(get(text1, "text")), "first");
    set(text1, "text", Value("back"));
    EXPECT_EQ(str(get(object, "v")), "back");
}

TEST_F(TextFieldTest, AnHtmlFieldsVariableHoldsItsMarkup) {
    load(R"(
version 8
font 1 "_sans"
edittext 2 0 0 100 20 font=1 html var="page" text="<b>hi</b>"
place 2 depth=1 name="field"
showframe
)");
    Value field = get(root(), "field");
    std::string seeded = str(get(root(), "page"));
    EXPECT_NE(seeded.find("<B>hi</B>"), std::string::npos) << seeded;
    set(root(), "page", Value("<i>there</i>"));
    EXPECT_EQ(str(get(field, "text")), "there");
    EXPECT_TRUE(get(call(field, "getTextFormat"), "italic").asBoolean());
    set(field, "text", Value("plain"));
    EXPECT_EQ(str(get(root(), "page")), str(get(field, "htmlText")));
}

TEST_F(TextFieldTest, TrailingSpacesOfAlignedTextCountBeforeSwf8Only) {
    struct Case {
        int version;
        const char* align;
        double width;  // "ii  " at 12 px: 5.33 px of letters, 6.67 px of spaces
    };
    const Case cases[] = {{8, "left", 12}, {8, "right", 5}, {8, "center", 5}, {7, "right", 12}};
    for (const Case& c : cases) {
        loadEmpty(c.version);
        Value field = newField("f", 0, 100);
        Value format = vm().construct(get(Value(vm().global()), "TextFormat"), {}).value();
        set(format, "align", Value(c.align));
        call(field, "setNewTextFormat", {format});
        set(field, "text", Value("ii  "));
        EXPECT_EQ(get(field, "textWidth").asNumber(), c.width) << c.version << " " << c.align;
        owned = std::make_unique<MoviePlayer>();
    }
}

TEST_F(TextFieldTest, RemovingTheFocusedFieldTakesTheFocusAway) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    Value selection = get(Value(vm().global()), "Selection");
    std::vector<std::string> heard;
    Value listener(vm().newObject());
    set(listener, "onSetFocus", Value(vm().newNativeFunction([&](avm1::NativeCall& c) {
            heard.push_back(std::string(c.arg(0).isObject() ? "field" : "null") + ">" +
                            (c.arg(1).isObject() ? "field" : "null"));
            return Value();
        })));
    call(selection, "addListener", {listener});
    call(selection, "setFocus", {field});
    call(field, "removeTextField");
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    EXPECT_EQ(heard, (std::vector<std::string>{"null>field", "field>null"}));
}

}  // namespace
}  // namespace kestrel::runtime
