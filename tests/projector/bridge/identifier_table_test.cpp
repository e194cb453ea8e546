#include "projector/bridge/identifier_table.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(IdentifierTable, InternsNamesFromOneInOrderOfFirstRequest) {
    IdentifierTable table;
    EXPECT_EQ(table.GetStringIdentifier("location"), 1u);
    EXPECT_EQ(table.GetStringIdentifier("top"), 2u);
    EXPECT_EQ(table.GetStringIdentifier("location"), 1u);
    EXPECT_EQ(table.GetStringIdentifier("Location"), 3u);  // case-sensitive
    EXPECT_TRUE(table.IsString(1));
    EXPECT_TRUE(table.IsString(3));
    EXPECT_FALSE(table.IsString(0));
    EXPECT_FALSE(table.IsString(4));
    EXPECT_EQ(table.NameOf(2).value_or(""), "top");
}

TEST(IdentifierTable, FixedIdentifiersAreNeverInterned) {
    IdentifierTable table;
    EXPECT_EQ(table.GetStringIdentifier("__flash__request"), 0x0FEEBBCDu);
    EXPECT_EQ(table.GetStringIdentifier("__flash__request"), 0x0FEEBBCDu);
    EXPECT_EQ(table.GetStringIdentifier("_DoFSCommand"), 0x0FEEBBCEu);
    EXPECT_FALSE(table.IsString(0x0FEEBBCD));
    EXPECT_FALSE(table.NameOf(0x0FEEBBCD).has_value());
    EXPECT_FALSE(table.NameOf(0x0FEEBBCE).has_value());
    // The next interned name still gets 1.
    EXPECT_EQ(table.GetStringIdentifier("x"), 1u);
}

TEST(IdentifierTable, MovieCallNamesAreNumberedFrom0x0FEEBBCF) {
    IdentifierTable table;
    table.GetStringIdentifier("apiInitFinished");  // interning does not register
    RegisterMovieCallNames(table);
    EXPECT_EQ(table.RegisteredIdentifier("menuCommand"), 0x0FEEBBCFu);
    EXPECT_EQ(table.RegisteredIdentifier("addWindowForm"), 0x0FEEBBD0u);
    EXPECT_EQ(table.RegisteredIdentifier("apiInitFinished"), 0x0FEEBBDAu);
    EXPECT_EQ(table.RegisteredIdentifier("unknownCallback"), kNoIdentifier);
    EXPECT_EQ(table.NameOf(0x0FEEBBDA).value_or(""), "apiInitFinished");
    EXPECT_FALSE(table.IsString(0x0FEEBBDA));
    // Registering again keeps the numbers.
    RegisterMovieCallNames(table);
    EXPECT_EQ(table.RegisteredIdentifier("apiInitFinished"), 0x0FEEBBDAu);
    EXPECT_FALSE(table.NameOf(0x0FEEBBDB).has_value());
}

}  // namespace
}  // namespace kestrel
