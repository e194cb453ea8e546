// Array elements and 32-bit lengths.
#include "player/avm1/array_storage.h"

#include <gtest/gtest.h>

#include "player/avm1/vm.h"

namespace kestrel::avm1 {
namespace {

TEST(ArrayStorage, ElementNamesReadModulo2To32) {
    const struct {
        const char* name;
        bool isIndex;
        int32_t index;
        bool plain;
    } cases[] = {
        {"0", true, 0, true},
        {"7", true, 7, true},
        {"07", true, 7, false},
        {"-5", true, -5, false},
        {"-0", true, 0, false},
        {"2147483647", true, 2147483647, true},
        {"2147483648", true, -2147483647 - 1, false},
        {"4294967296", true, 0, false},
        {"302231454903659441160191", true, 2147483647, false},
        {"", false, 0, false},
        {"-", false, 0, false},
        {"1.5", false, 0, false},
        {"length", false, 0, false},
    };
    for (const auto& c : cases) {
        ElementIndex e;
        ASSERT_EQ(ReadElementIndex(c.name, e), c.isIndex) << c.name;
        if (!c.isIndex) continue;
        EXPECT_EQ(e.index, c.index) << c.name;
        EXPECT_EQ(e.plain, c.plain) << c.name;
    }
}

class ArrayTest : public ::testing::Test {
  protected:
    Value Length() { return vm.getMember(array, "length"); }
    void Set(const char* name, Value v) { vm.setMember(array, name, v); }
    std::string Keys() {
        std::string out;
        Object* o = array.asObject();
        for (size_t i = 0; i < o->elements().size(); ++i)
            if (!o->elements()[i].isHole()) out += std::to_string(i) + " ";
        for (const Property& p : o->properties()) out += p.name + " ";
        return out;
    }
    Vm vm;
    Value array{vm.newArray()};
};

TEST_F(ArrayTest, WritingAtOrPastTheLengthWrapsItAt2To31) {
    Set("3", Value("x"));
    EXPECT_EQ(vm.toNumber(Length()), 4);
    Set("-5", Value("x"));
    Set("2147483648", Value("x"));  // index -2^31: below the length
    EXPECT_EQ(vm.toNumber(Length()), 4);
    Set("2147483647", Value("x"));  // length 2^31 wraps and the elements below go
    EXPECT_EQ(vm.toNumber(Length()), -2147483648.0);
    EXPECT_EQ(Keys(), "-5 2147483648 2147483647 ");
    Set("4294967296", Value("x"));  // index 0 at or past a negative length
    EXPECT_EQ(vm.toNumber(Length()), 1);
}

TEST_F(ArrayTest, EmptySlotsReadUndefinedButDoNotExist) {
    Set("2", Value(1));
    EXPECT_EQ(Keys(), "2 ");
    EXPECT_TRUE(vm.getMember(array, "0").isUndefined());
    EXPECT_FALSE(vm.hasProperty(array.asObject(), "0"));
    vm.setMember(Value(vm.arrayPrototype()), "0", Value("inherited"));
    EXPECT_EQ(vm.toString(vm.getMember(array, "0")), "inherited");
    EXPECT_TRUE(vm.deleteMember(array.asObject(), "2"));
    EXPECT_FALSE(vm.deleteMember(array.asObject(), "2"));
    EXPECT_EQ(vm.toNumber(Length()), 3);
    Set("length", Value(1));
    Set("length", Value(3));
    EXPECT_EQ(Keys(), "");
}

TEST_F(ArrayTest, AFarIndexDoesNotAllocateTheSlotsBelowIt) {
    Set("100000000", Value("far"));
    EXPECT_EQ(vm.toNumber(Length()), 100000001);
    EXPECT_LT(array.asObject()->elements().size(), 1000000u);
    EXPECT_EQ(vm.toString(vm.getMember(array, "100000000")), "far");
    Set("length", Value(5));
    EXPECT_TRUE(vm.getMember(array, "100000000").isUndefined());
    Value big = vm.construct(vm.getMember(Value(vm.global()), "Array"), {Value(1e9)}).value();
    EXPECT_EQ(vm.toNumber(vm.getMember(big, "length")), 1e9);
    EXPECT_LT(big.asObject()->elements().size(), 1000000u);
}

// for..in visits elements newest first: the order they were created, not index order.
TEST_F(ArrayTest, ElementsAreVisitedInTheOrderTheyWereCreated) {
    auto byAge = [&] {
        std::string out;
        for (size_t i : ArrayElementsByAge(*array.asObject())) out += std::to_string(i) + " ";
        return out;
    };
    Set("5", Value(5));
    Set("2", Value(2));
    Set("3", Value(3));
    EXPECT_EQ(byAge(), "5 2 3 ");
    Set("2", Value(20));  // a new value, not a new element
    EXPECT_TRUE(vm.deleteMember(array.asObject(), "5"));
    Set("5", Value(50));
    EXPECT_EQ(byAge(), "2 3 5 ");
    Set("length", Value(3));
    EXPECT_EQ(byAge(), "2 ");
    vm.callMethod(array, "push", {Value(9)});
    EXPECT_EQ(byAge(), "2 3 ");
}

}  // namespace
}  // namespace kestrel::avm1
