// Device-font metrics used by textWidth, textHeight and autoSize.
#include "player/runtime/text_metrics.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

TEST(TextMetrics, DeviceTextIsMeasuredWithArialAdvances) {
    struct Case {
        const char* text;
        double widthPx, heightPx;  // at 20 px (400 twips), no leading
    };
    const Case cases[] = {
        {"", 0, 0},           {"i", 4, 22},  // 222/1000 * 20 = 4.44
        {"Wi", 23, 22},                      // (944 + 222) * 20 / 1000 = 23.32
        {"ab\rWWW", 56, 44},                 // widest line; two lines of 1.117 em
        {"ab\r\ncd", 22, 44},                // "\r\n" is one break
        {"\xC3\xA9", 11, 22},                // outside ASCII: the digit width
    };
    for (const Case& c : cases) {
        TextMeasure m = MeasureDeviceText(c.text, 400, 0);
        EXPECT_EQ(m.textWidth, c.widthPx) << c.text;
        EXPECT_EQ(m.textHeight, c.heightPx) << c.text;
    }
    EXPECT_EQ(MeasureDeviceText("a\rb", 400, 100).textHeight, 49);  // leading between lines
}

}  // namespace
}  // namespace kestrel::runtime
