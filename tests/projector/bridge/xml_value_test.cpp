#include "projector/bridge/xml_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace kestrel {
namespace {

TEST(XmlValue, ScalarForms) {
    EXPECT_EQ(XmlFlag(true), "<true/>");
    EXPECT_EQ(XmlFlag(false), "<false/>");
    EXPECT_EQ(XmlNull(), "<null/>");
    EXPECT_EQ(XmlInteger(-42), "<number>-42</number>");
    EXPECT_EQ(XmlInteger(INT32_MIN), "<number>-2147483648</number>");
    EXPECT_EQ(XmlInteger64(INT64_C(9876543210123)), "<number>9876543210123</number>");
    EXPECT_EQ(XmlInteger64(INT64_MIN), "<number>-9223372036854775808</number>");
}

struct RealCase {
    double value;
    int width;
    int precision;
    const char* xml;
};

TEST(XmlValue, NumberFormatBuilder) {
    const RealCase cases[] = {
        {1.0, -1, 2, "<number>1.00</number>"},
        {3.14159, -1, -1, "<number>3.141590</number>"},
        {2.5, 8, 3, "<number>   2.500</number>"},
        // "%6.f": precision 0. Not a tie: C runtimes round halves differently.
        {2.75, 6, -1, "<number>     3</number>"},
        {-0.005, -1, 2, "<number>-0.01</number>"},
    };
    for (const auto& c : cases) EXPECT_EQ(XmlReal(c.value, c.width, c.precision), c.xml);
    EXPECT_EQ(XmlReal2(1), "<number>1.00</number>");
}

TEST(XmlValue, NumberFormatBuilderGrowsPastItsFirstBuffer) {
    std::string xml = XmlReal(1e300, 600, 2);
    EXPECT_EQ(xml.size(), std::string("<number></number>").size() + 600);
    EXPECT_EQ(xml.substr(xml.size() - 12), ".00</number>");
}

TEST(XmlValue, TextFormsCarryBase64) {
    EXPECT_EQ(XmlText("abc"), "<string>YWJj</string>");
    EXPECT_EQ(XmlText(""), "<string></string>");
    EXPECT_EQ(XmlPlainWord("yes"), "<string>yes</string>");
    EXPECT_EQ(XmlTextList({"a", "bc"}),
              "<array><property id='0'><string>YQ==</string></property>"
              "<property id='1'><string>YmM=</string></property></array>");
    EXPECT_EQ(XmlTextList({}), "<array></array>");
}

TEST(XmlValue, ObjectForms) {
    EXPECT_EQ(XmlPoint(-3, 40),
              "<object><property id='x'><number>-3</number></property>"
              "<property id='y'><number>40</number></property></object>");
    EXPECT_EQ(XmlSize(640, 480),
              "<object><property id='w'><number>640</number></property>"
              "<property id='h'><number>480</number></property></object>");
    EXPECT_EQ(XmlNumberList({5, -1}),
              "<array><property id='0'><number>5</number></property>"
              "<property id='1'><number>-1</number></property></array>");
    XmlDateParts date{2026, 0, 8, 23, 59, 1};
    EXPECT_EQ(XmlDate(date),
              "<object><property id='year'><number>2026</number></property>"
              "<property id='month'><number>0</number></property>"
              "<property id='date'><number>8</number></property>"
              "<property id='hour'><number>23</number></property>"
              "<property id='minute'><number>59</number></property>"
              "<property id='second'><number>1</number></property></object>");
}

}  // namespace
}  // namespace kestrel
