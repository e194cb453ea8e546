#include "projector/bridge/invoke_request.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using Type = RequestArgument::Type;

TEST(BuildInvokeRequest, WithoutFurtherArgumentsHasNoArgumentsElement) {
    EXPECT_EQ(BuildInvokeRequest("apiInitFinished", nullptr, 0),
              "<invoke name=\"apiInitFinished\" returntype=\"javascript\"></invoke>");
}

TEST(BuildInvokeRequest, WritesEachArgumentTypeInOrder) {
    RequestArgument args[8];
    args[0].type = Type::Int32;
    args[0].integer = 7;
    args[1].type = Type::Boolean;
    args[1].boolean = true;
    args[2].type = Type::String;
    args[2].text = "x";
    args[3].type = Type::Null;
    args[4].type = Type::Boolean;
    args[5].type = Type::Double;
    args[5].real = 1.5;
    args[6].type = Type::Void;
    args[7].type = Type::Object;
    EXPECT_EQ(BuildInvokeRequest("f", args, 8),
              "<invoke name=\"f\" returntype=\"javascript\"><arguments>"
              "<number>7</number><true/><string>x</string><null/><false/>"
              "<number>1.500000</number></arguments></invoke>");
}

TEST(BuildInvokeRequest, NameAndStringsAreEscaped) {
    RequestArgument args[2];
    args[0].type = Type::String;
    args[0].text = "<R&D>";
    args[1].type = Type::String;
    args[1].text = "\"it's\"";
    EXPECT_EQ(BuildInvokeRequest("g&\"", args, 2),
              "<invoke name=\"g&amp;&quot;\" returntype=\"javascript\"><arguments>"
              "<string>&lt;R&amp;D&gt;</string><string>&quot;it&apos;s&quot;</string>"
              "</arguments></invoke>");
}

TEST(BuildInvokeRequest, HugeDoublesAreWrittenWhole) {
    RequestArgument arg;
    arg.type = Type::Double;
    arg.real = -1.7976931348623157e308;
    std::string xml = BuildInvokeRequest("h", &arg, 1);
    EXPECT_NE(xml.find("<number>-179769313486231570"), std::string::npos);
    EXPECT_NE(xml.find(".000000</number></arguments></invoke>"), std::string::npos);
}

}  // namespace
}  // namespace kestrel
