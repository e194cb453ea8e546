#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "common/swf_format.h"
#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/action_assembler.h"
#include "tools/swfwriter/description.h"

namespace {

using swftest::Hex;
using swftest::ToHex;

// The action bytes of the first DoAction in a compiled description.
swftest::Bytes ActionsOf(const std::string& description, uint16_t code = swf::kTagDoAction) {
    std::string error;
    std::optional<swf::Bytes> file = swf::CompileDescription(description, error);
    EXPECT_TRUE(file) << error;
    if (!file) return {};
    swftest::Movie m = swftest::ReadMovie(*file);
    for (const swftest::Tag& t : m.tags) {
        if (t.code == code) return t.body;
    }
    ADD_FAILURE() << "no action tag";
    return {};
}

std::string ErrorOf(const std::string& description) {
    std::string error;
    EXPECT_FALSE(swf::CompileDescription(description, error)) << description;
    return error;
}

TEST(SwfActions, PushEncodesEveryType) {
    struct Case {
        const char* operand;
        const char* bytes;  // after the 96 LL LL record header
    } cases[] = {
        {"\"hi\"", "00 68 69 00"},
        {"2.5f", "01 00 00 20 40"},
        {"f:1", "01 00 00 80 3f"},
        {"null", "02"},
        {"undefined", "03"},
        {"r:3", "04 03"},
        {"true", "05 01"},
        {"false", "05 00"},
        {"1.5", "06 00 00 f8 3f 00 00 00 00"},  // high word first
        {"d:1", "06 00 00 f0 3f 00 00 00 00"},
        {"-1", "07 ff ff ff ff"},
        {"0x10", "07 10 00 00 00"},
        {"c:7", "08 07"},
        {"c:300", "09 2c 01"},
        {"c16:7", "09 07 00"},
        {"NaN", "06 00 00 f8 7f 00 00 00 00"},
        {"-Infinity", "06 00 00 f0 ff 00 00 00 00"},
    };
    for (const Case& c : cases) {
        swftest::Bytes actions = ActionsOf(std::string("action\n push ") + c.operand + "\nend\n");
        std::string operand = ToHex(Hex(c.bytes));
        size_t length = Hex(c.bytes).size();
        std::string expected =
            "96 " + ToHex({static_cast<uint8_t>(length), 0}) + " " + operand + " 00";  // End
        EXPECT_EQ(ToHex(actions), expected) << c.operand;
    }
}

TEST(SwfActions, BranchOffsetsCountFromTheNextAction) {
    swftest::Bytes actions = ActionsOf(
        "action\n"
        "top:\n"
        "  push true\n"  // 96 02 00 05 01      (5 bytes, at 0)
        "  if done\n"    // 9d 02 00 +6         (at 5, next at 10)
        "  nextFrame\n"  // 04                  (at 10)
        "  jump top\n"   // 99 02 00 -16        (at 11, next at 16)
        "done:\n"
        "  stop\n"    // 07                  (at 16)
        "  jump 3\n"  // raw offset
        "end\n");
    EXPECT_EQ(ToHex(actions), ToHex(Hex("9602000501 9d02000600 04 990200f0ff 07 9902000300 00")));
}

TEST(SwfActions, OperandActions) {
    struct Case {
        const char* line;
        const char* bytes;
    } cases[] = {
        {"gotoFrame 4", "81 02 00 04 00"},
        {"getURL \"a\" \"_b\"", "83 05 00 61 00 5f 62 00"},
        {"getURL \"a\"", "83 03 00 61 00 00"},
        {"storeRegister 2", "87 01 00 02"},
        {"constants \"x\", \"yz\"", "88 07 00 02 00 78 00 79 7a 00"},
        {"waitForFrame 1 2", "8a 03 00 01 00 02"},
        {"setTarget \"/mc\"", "8b 04 00 2f 6d 63 00"},
        {"gotoLabel \"go\"", "8c 03 00 67 6f 00"},
        {"waitForFrame2 5", "8d 01 00 05"},
        {"getURL2 get variables", "9a 01 00 81"},
        {"getURL2 post target", "9a 01 00 42"},
        {"getURL2", "9a 01 00 00"},
        {"gotoFrame2 play", "9f 01 00 01"},
        {"gotoFrame2 bias=3", "9f 03 00 02 03 00"},
        {"call", "9e 00 00"},
        {"GetVariable", "1c"},
        {"prevframe", "05"},
        {"ImplementsOp", "2c"},
        {"raw 0x96 07 01000000", "96 05 00 07 01 00 00 00"},
        {"raw 0x12", "12"},
        {"bytes ff 01", "ff 01"},
    };
    for (const Case& c : cases) {
        swftest::Bytes actions = ActionsOf(std::string("action\n  ") + c.line + "\nend\n");
        swftest::Bytes expected = Hex(c.bytes);
        expected.push_back(0x00);
        EXPECT_EQ(ToHex(actions), ToHex(expected)) << c.line;
    }
}

TEST(SwfActions, ConstantsByText) {
    swftest::Bytes actions = ActionsOf(
        "action\n"
        "  constants \"a\", \"b\"\n"
        "  push c:\"b\", c16:\"a\", c8:\"a\"\n"
        "end\n");
    EXPECT_EQ(ToHex(actions), ToHex(Hex("88 0600 0200 6100 6200 96 0700 0801 090000 0800 00")));
    std::string error;
    EXPECT_FALSE(swf::CompileDescription("action\n  push c:\"a\"\nend\n", error));
    EXPECT_NE(error.find("line 2, column 8: \"a\" is not in the constant pool"), std::string::npos)
        << error;
}

TEST(SwfActions, WaitForFrameSkipsToALabelByActionCount) {
    swftest::Bytes actions = ActionsOf(
        "action\n"
        "  waitForFrame 2 loaded\n"
        "  push 1\n"
        "  pop\n"
        "loaded:\n"
        "  waitForFrame2 here\n"
        "here:\n"
        "  play\n"
        "end\n");
    EXPECT_EQ(ToHex(actions), ToHex(Hex("8a03000200 02 96050007 01000000 17 8d0100 00 06 00")));
}

TEST(SwfActions, BlocksRecordTheirSizes) {
    swftest::Bytes actions = ActionsOf(
        "action\n"
        "  function \"f\" (\"a\", \"b\")\n"
        "    with\n"
        "      stop\n"
        "    end\n"
        "  end\n"
        "  try catch=\"e\"\n"
        "    throw\n"
        "  finally\n"
        "    play\n"
        "  end\n"
        "  try\n"
        "    stop\n"
        "  catch\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(ToHex(actions),
              ToHex(Hex("9b 0a00 6600 0200 6100 6200 0600"  // function f(a, b), body 6 bytes
                        "94 0200 0100 07"                   // with, body 1 byte: stop
                        "8f 0900 02 0100 0000 0100 6500"    // try/finally, catch into "e"
                        "2a 06"                             // throw; play
                        "8f 0800 01 0100 0000 0000 00"      // try/catch with an empty catch
                        "07"
                        "00")));
}

TEST(SwfActions, Function2FlagsParamsAndRegisterCount) {
    swftest::Bytes actions = ActionsOf(
        "action\n"
        "  function2 \"g\" r1:\"x\" \"y\" flags=preload_this|preload_global|suppress_super\n"
        "    push r:4\n"
        "  end\n"
        "  function2 flags=preload_arguments,preload_root\n"
        "  end\n"
        "  function2 \"h\" regs=9\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(ToHex(actions),
              ToHex(Hex("8e 0f00 6700 0200 05 2101 01 7800 00 7900 0500"  // regs 5: r:4 is named
                        "96 0200 04 04"
                        "8e 0800 00 0000 03 4400 0000"  // two preloads: regs 3
                        "8e 0900 6800 0000 09 0000 0000"
                        "00")));
}

TEST(SwfActions, FlagNamesMatchTheirBits) {
    struct Case {
        const char* name;
        uint16_t flag;
    } cases[] = {
        {"preload_this", 0x0001},       {"suppress_this", 0x0002},  {"preload_arguments", 0x0004},
        {"suppress_arguments", 0x0008}, {"preload_super", 0x0010},  {"suppress_super", 0x0020},
        {"preload_root", 0x0040},       {"preload_parent", 0x0080}, {"preload_global", 0x0100}};
    for (const Case& c : cases) {
        ASSERT_TRUE(swf::FunctionFlagByName(c.name)) << c.name;
        EXPECT_EQ(*swf::FunctionFlagByName(c.name), c.flag) << c.name;
    }
    EXPECT_FALSE(swf::FunctionFlagByName("preload_everything"));
}

TEST(SwfActions, EveryNamedActionRoundTrips) {
    // Names resolve case-insensitively and the table gives each code one canonical name.
    for (int code = 0; code < 256; ++code) {
        std::string name = swf::ActionName(static_cast<uint8_t>(code));
        if (name.empty()) continue;
        std::optional<uint8_t> back = swf::ActionCodeByName(name);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(*back, code) << name;
    }
    const char* required[] = {
        "NextFrame",       "Push",          "Jump",         "If",      "DefineFunction",
        "DefineFunction2", "Try",           "ConstantPool", "With",    "StoreRegister",
        "GotoFrame",       "GoToLabel",     "GotoFrame2",   "GetURL",  "GetURL2",
        "WaitForFrame",    "WaitForFrame2", "SetTarget",    "Extends", "StringGreater",
        "Enumerate2"};
    for (const char* name : required) EXPECT_TRUE(swf::ActionCodeByName(name)) << name;
}

// The same code a real compiler produced, written in this syntax, gives the same bytes.
std::optional<swftest::Bytes> CorpusActions(const char* name) {
    std::ifstream in(std::string(KESTREL_CORPUS_DIR) + "/avm1/" + name + "/test.swf",
                     std::ios::binary);
    if (!in) return std::nullopt;
    swftest::Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    swftest::Movie m = swftest::ReadMovie(file);
    for (const swftest::Tag& t : m.tags) {
        if (t.code == swf::kTagDoAction) return t.body;
    }
    return std::nullopt;
}

TEST(SwfActions, MatchesRealMovies) {
    struct Case {
        const char* corpusCase;
        const char* description;
    } cases[] = {
        {"define_function2_preload_order",
         "action\n"
         "  function2 \"f\" "
         "flags=preload_global|preload_parent|suppress_super|suppress_arguments|suppress_this\n"
         "    push r:1\n    trace\n    push r:2\n    trace\n"
         "  end\n"
         "  push 0.0, \"f\"\n  callFunction\n  pop\n"
         "end\n"},
        {"define_function2",
         "action\n"
         "  constants \"n\", \"f\"\n"
         "  function2 \"f\" r4:\"a\", r3:\"b\", r2:\"c\" regs=5 "
         "flags=preload_root|suppress_super|suppress_arguments|suppress_this\n"
         "    push r:4\n    trace\n    push r:3\n    trace\n    push r:2\n    trace\n"
         "    push r:1, c:0\n    getMember\n    trace\n"
         "    push 9\n    storeRegister 4\n    pop\n"
         "    push 8\n    storeRegister 3\n    pop\n"
         "    push 7\n    storeRegister 2\n    pop\n"
         "    push r:1, c:0, 6\n    setMember\n"
         "    push r:4\n    trace\n    push r:3\n    trace\n    push r:2\n    trace\n"
         "    push r:1, c:0\n    getMember\n    trace\n"
         "  end\n"
         "  push c:0, 66\n  defineLocal\n"
         "  push 3, 2, 1, 3, c:1\n  callFunction\n  pop\n"
         "end\n"},
        {"typeof_globals",
         "action\n"
         "  constants \"NaN\", \"Infinity\", \"-Infinity\", \"10\"\n"
         "  push c:0\n  getVariable\n  typeOf\n  trace\n"
         "  push c:0\n  typeOf\n  trace\n"
         "  push c:1\n  getVariable\n  typeOf\n  trace\n"
         "  push c:1\n  typeOf\n  trace\n"
         "  push 0.0, c:1\n  getVariable\n  subtract\n  typeOf\n  trace\n"
         "  push c:2\n  typeOf\n  trace\n"
         "  push c:0, c:3\n  setVariable\n"
         "  push c:0\n  getVariable\n  typeOf\n  trace\n"
         "end\n"},
    };
    for (const Case& c : cases) {
        std::optional<swftest::Bytes> real = CorpusActions(c.corpusCase);
        if (!real) GTEST_SKIP() << "corpus case " << c.corpusCase << " is not available";
        EXPECT_EQ(ToHex(ActionsOf(c.description)), ToHex(*real)) << c.corpusCase;
    }
}

// Whole files: header, tags and actions as a real compiler wrote them.
TEST(SwfActions, WholeMoviesMatchRealMovies) {
    struct Case {
        const char* corpusCase;
        const char* description;
    } cases[] = {
        {"typeof_globals",
         "version 5\n"
         "rate 12\n"
         "background #FFFFFF\n"
         "action\n"
         "  constants \"NaN\", \"Infinity\", \"-Infinity\", \"10\"\n"
         "  push c:\"NaN\"\n  getVariable\n  typeOf\n  trace\n"
         "  push c:0\n  typeOf\n  trace\n"
         "  push c:1\n  getVariable\n  typeOf\n  trace\n"
         "  push c:1\n  typeOf\n  trace\n"
         "  push 0.0, c:1\n  getVariable\n  subtract\n  typeOf\n  trace\n"
         "  push c:2\n  typeOf\n  trace\n"
         "  push c:0, c:\"10\"\n  setVariable\n"
         "  push c:0\n  getVariable\n  typeOf\n  trace\n"
         "end\n"
         "showframe\n"},
        {"undefined_to_string_swf6",
         "version 6\n"
         "compress zlib\n"
         "background #FFFFFF\n"
         "action long\n"  // this compiler wrote a long tag header for a short DoAction
         "  push undefined\n  trace\n"
         "  push undefined\n  toString\n  trace\n"
         "  push \"\", undefined\n  add2\n  trace\n"
         "  push 0.0, undefined, \"toString\"\n  callMethod\n  trace\n"
         "end\n"},
    };
    for (const Case& c : cases) {
        std::ifstream in(std::string(KESTREL_CORPUS_DIR) + "/avm1/" + c.corpusCase + "/test.swf",
                         std::ios::binary);
        if (!in) GTEST_SKIP() << "corpus case " << c.corpusCase << " is not available";
        swftest::Bytes real((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        std::optional<swf::Bytes> ours = swf::CompileDescription(c.description, error);
        ASSERT_TRUE(ours) << error;
        if (real[0] == 'F') {
            EXPECT_EQ(ToHex(*ours), ToHex(real)) << c.corpusCase;
            continue;
        }
        // zlib streams differ between compressors; the inflated movies must not.
        swftest::Movie a = swftest::ReadMovie(*ours), b = swftest::ReadMovie(real);
        ASSERT_TRUE(a.ok && b.ok);
        EXPECT_EQ(a.signature, b.signature);
        EXPECT_EQ(a.version, b.version);
        EXPECT_EQ(a.fileLength, b.fileLength);
        EXPECT_EQ(a.frameRateRaw, b.frameRateRaw);
        EXPECT_EQ(a.frameCount, b.frameCount);
        ASSERT_EQ(a.tags.size(), b.tags.size());
        for (size_t i = 0; i < a.tags.size(); ++i) {
            EXPECT_EQ(a.tags[i].code, b.tags[i].code);
            EXPECT_EQ(a.tags[i].longHeader, b.tags[i].longHeader) << c.corpusCase << " tag " << i;
            EXPECT_EQ(ToHex(a.tags[i].body), ToHex(b.tags[i].body)) << c.corpusCase << " tag " << i;
        }
    }
}

TEST(SwfActions, InitActionsAndClipActions) {
    swftest::Bytes init = ActionsOf("initaction 12\n  stop\nend\n", swf::kTagDoInitAction);
    EXPECT_EQ(ToHex(init), "0c 00 07 00");

    swftest::Bytes place = ActionsOf(
        "version 6\n"
        "place 1 depth=1 actions\n"
        "  on enterFrame,load\n"
        "    stop\n"
        "  end\n"
        "  on keyPress key=13\n"
        "  end\n"
        "end\n",
        swf::kTagPlaceObject2);
    EXPECT_EQ(ToHex(place), ToHex(Hex("82 0100 0100 0000 03000200"
                                      "03000000 02000000 0700"
                                      "00000200 02000000 0d 00"
                                      "00000000")));
}

TEST(SwfActions, AssemblerApiBuildsTheSameBytes) {
    swf::ActionAssembler as;
    as.ConstantPool({"a"});
    as.Label("again");
    as.Push({swf::PushValue::Constant(0), swf::PushValue::Integer(1)});
    as.Action(0x1D);
    as.BeginFunction2("", {{"p", 1}}, swf::kPreloadThis, std::nullopt);
    as.Push({swf::PushValue::Register(2)});
    as.EndBlock();
    as.Jump("again");
    std::string error;
    std::optional<swf::Bytes> bytes = as.Finish(&error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(ToHex(*bytes), ToHex(ActionsOf("action\n"
                                             "  constants \"a\"\n"
                                             "again:\n"
                                             "  push c:0, 1\n"
                                             "  setVariable\n"
                                             "  function2 r1:\"p\" flags=preload_this\n"
                                             "    push r:2\n"
                                             "  end\n"
                                             "  jump again\n"
                                             "end\n")));
    EXPECT_FALSE(as.Finish());  // the stream was handed out already
}

TEST(SwfActions, Errors) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"action\n  jump nowhere\nend\n", "line 2: label 'nowhere' is not defined"},
        {"action\nx:\nx:\nend\n", "line 3: label 'x' is defined twice"},
        {"action\n  function \"f\"\nend\n", "line 1: 'action' has no matching 'end'"},
        {"action\n  catch\nend\n", "line 2: 'catch' outside a try block"},
        {"action\n  try\n  end\nend\n", "line 3: a try block needs a catch or a finally"},
        {"action\n  dance\nend\n", "line 2, column 3: unknown action 'dance'"},
        {"action\n  push\nend\n", "line 2: push needs at least one value"},
        {"action\n  push hello\nend\n", "'hello' is not a push value (texts need quotes)"},
        {"action\n  push r:300\nend\n", "registers are written r:0 to r:255"},
        {"action\n  push 3000000000\nend\n", "integer does not fit 32 bits"},
        {"action\n  push c8:256\nend\n", "constant index out of range"},
        {"action\n  gotoLabel\nend\n", "usage: gotoLabel \"label\""},
        {"action\n  storeRegister 256\nend\n", "value must be between 0 and 255"},
        {"action\n  if 40000\nend\n", "offset must fit 16 bits"},
        {"action\n  jump 9x\nend\n", "'9x' is not a label name"},
        {"action\n  push 1\n  trace extra\nend\n", "line 3, column 9: unexpected 'extra'"},
        {"action\n  defineFunction2 flags=preload_all\n  end\nend\n",
         "unknown function flag 'preload_all'"},
        {"action\n  function \"f\" r1:\"a\"\n  end\nend\n", "parameters are quoted names"},
        {"action\nback:\n  play\n  waitForFrame 1 back\nend\n", "must lie 0 to 255 actions ahead"},
        {"action\n  with 3\n  end\nend\n", "'with' takes its object from the stack"},
        {"initaction\nend\n", "usage: initaction <sprite id>"},
        {"version 5\nplace 1 depth=1 actions\n  on dragOut\n  end\nend\n", "need SWF 6"},
        {"place 1 depth=1 actions\n  on sunrise\n  end\nend\n", "unknown clip event 'sunrise'"},
        {"place 1 depth=1 actions\n  stop\nend\n", "clip actions are 'on <events>' blocks"},
    };
    for (const Case& c : cases) {
        std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.expected), std::string::npos)
            << "input: " << c.text << "\nerror: " << error;
    }
}

TEST(SwfActions, OversizedRecordsAreRefused) {
    swf::ActionAssembler as;
    as.Push({swf::PushValue::String(std::string(70000, 'x'))});
    std::string error;
    EXPECT_FALSE(as.Finish(&error));
    EXPECT_NE(error.find("65535"), std::string::npos);

    swf::ActionAssembler far;
    far.Label("start");
    for (int i = 0; i < 40000; ++i) far.Action(0x17);
    far.Jump("start");
    EXPECT_FALSE(far.Finish(&error));
    EXPECT_NE(error.find("farther than 32767"), std::string::npos);
}

}  // namespace
