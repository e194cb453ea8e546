// flash.geom.Matrix/Rectangle and flash.display.BitmapData as scripts use them.
#include <string>

#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class GeomBitmapTest : public ScriptFixture {
  protected:
    Value make(const char* package, const char* name, std::vector<Value> args = {}) {
        Value ctor = get(get(global("flash"), package), name);
        return vm().construct(ctor, args).value_or(Value());
    }
};

TEST_F(GeomBitmapTest, MatrixMethodsApplyAfterWhatItHolds) {
    Value m = make("geom", "Matrix");
    EXPECT_EQ(str(m), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    call(m, "translate", {Value(5), Value(6)});
    call(m, "scale", {Value(2), Value(3)});
    EXPECT_EQ(str(m), "(a=2, b=0, c=0, d=3, tx=10, ty=18)");
    Value copy = call(m, "clone");
    call(m, "invert");
    EXPECT_EQ(str(m), "(a=0.5, b=0, c=0, d=" + str(Value(1.0 / 3)) + ", tx=-5, ty=-6)");
    call(copy, "concat", {m});  // undoes itself
    EXPECT_EQ(str(copy), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    Value given =
        make("geom", "Matrix", {Value(1), Value(2), Value(3), Value(4), Value(5), Value(6)});
    EXPECT_EQ(get(given, "ty").asNumber(), 6);
    Value rect = make("geom", "Rectangle", {Value(1), Value(2), Value(3), Value(4)});
    EXPECT_EQ(str(rect), "(x=1, y=2, w=3, h=4)");
    EXPECT_FALSE(call(rect, "isEmpty").asBoolean());
    EXPECT_TRUE(call(make("geom", "Rectangle"), "isEmpty").asBoolean());
}

TEST_F(GeomBitmapTest, BitmapDataReadsSignedPixelsAndDrawsThroughMatrixAndClip) {
    Value blue =
        make("display", "BitmapData", {Value(50), Value(50), Value(false), Value(-16776961)});
    Value red = make("display", "BitmapData", {Value(50), Value(50), Value(false), Value(-65536)});
    EXPECT_EQ(get(blue, "width").asNumber(), 50);
    EXPECT_FALSE(get(blue, "transparent").asBoolean());
    Value m = make("geom", "Matrix");
    call(m, "translate", {Value(5), Value(5)});
    Value clip = make("geom", "Rectangle", {Value(10), Value(10), Value(20), Value(20)});
    call(blue, "draw", {red, m, Value::null(), Value::null(), clip});
    auto pixel = [&](int x, int y) {
        return call(blue, "getPixel32", {Value(x), Value(y)}).asNumber();
    };
    EXPECT_EQ(pixel(10, 10), -65536);
    EXPECT_EQ(pixel(29, 29), -65536);
    EXPECT_EQ(pixel(30, 30), -16776961);
    EXPECT_EQ(pixel(-1, 0), 0);
    EXPECT_EQ(call(blue, "getPixel", {Value(10), Value(10)}).asNumber(), 0xFF0000);
    // Bad sizes make a bitmap that is not valid; disposing makes one so.
    Value none = make("display", "BitmapData", {Value(0), Value(10)});
    EXPECT_EQ(get(none, "width").asNumber(), -1);
    call(red, "dispose");
    EXPECT_EQ(get(red, "height").asNumber(), -1);
    call(blue, "draw", {red});  // a disposed source draws nothing
    EXPECT_EQ(pixel(0, 0), -16776961);
}

}  // namespace
}  // namespace kestrel::runtime
