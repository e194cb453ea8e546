// flash.filters.ConvolutionFilter: its settings, through properties and native numbers.
#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class ConvolutionFilterTest : public ScriptFixture {
  protected:
    Value NewFilter(std::vector<Value> args) {
        Value filters = get(global("flash"), "filters");
        return vm().construct(get(filters, "ConvolutionFilter"), args).value_or(Value());
    }
    Value Native(int index) {
        return vm()
            .call(global("ASnative"), Value(), {Value(1109), Value(index)})
            .value_or(Value());
    }
};

TEST_F(ConvolutionFilterTest, ConstructorArgumentsAndDefaultsReadBack) {
    Value matrix(vm().newArray({Value(1), Value(2), Value(3), Value(4), Value(5)}));
    Value f = NewFilter({Value(2), Value(2), matrix, Value(9)});
    EXPECT_EQ(str(get(f, "matrix")), "1,2,3,4");
    EXPECT_EQ(str(get(f, "divisor")), "9");
    EXPECT_EQ(str(get(f, "bias")), "0");
    EXPECT_EQ(str(get(f, "preserveAlpha")), "true");
    EXPECT_EQ(str(get(f, "clamp")), "true");
    EXPECT_EQ(str(get(f, "alpha")), "0");
}

TEST_F(ConvolutionFilterTest, AssignmentsAreKeptInRange) {
    Value f = NewFilter({});
    struct Case {
        const char* name;
        Value assigned;
        const char* expected;
    };
    const Case cases[] = {
        {"alpha", Value(1.5), "1"},       {"alpha", Value(-1), "0"},
        {"color", Value(-1), "16777215"}, {"matrixX", Value(40), "15"},
        {"matrixY", Value(-2), "0"},      {"preserveAlpha", Value(0), "false"},
    };
    for (const Case& c : cases) {
        set(f, c.name, c.assigned);
        EXPECT_EQ(str(get(f, c.name)), c.expected) << c.name;
    }
    set(f, "matrixY", Value(2));
    set(f, "matrixX", Value(2));
    EXPECT_EQ(str(get(f, "matrix")), "0,0,0,0");
}

TEST_F(ConvolutionFilterTest, AlphaIsNativeSeventeenAndEighteenAndCloneCopies) {
    Value f = NewFilter({Value(1), Value(1), Value(vm().newArray({Value(1)})), Value(1), Value(0),
                         Value(true), Value(false), Value(255), Value(1.0)});
    EXPECT_EQ(str(vm().call(Native(17), f, {}).value_or(Value())), "1");
    vm().call(Native(18), f, {Value(0.25)});
    EXPECT_EQ(str(get(f, "alpha")), "0.25");
    Value copy = call(f, "clone");
    set(f, "alpha", Value(0.5));
    EXPECT_EQ(str(get(copy, "alpha")), "0.25");
    EXPECT_EQ(str(get(copy, "color")), "255");
    // Called on something that is not a filter, the natives do nothing.
    EXPECT_TRUE(
        vm().call(Native(17), Value(vm().newObject()), {}).value_or(Value(1)).isUndefined());
}

}  // namespace
}  // namespace kestrel::runtime
