#include "player/runtime/trace_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace kestrel::runtime {
namespace {

TEST(TraceOutput, CarriageReturnsBreakLines) {
    EXPECT_EQ(normaliseTraceLineBreaks("a\rb\r\nc\nd"), "a\nb\n\nc\nd");
}

TEST(TraceOutput, AppendsOneLinePerCallToTheFileAndTheCallback) {
    std::string path = ::testing::TempDir() + "trace_output_test.txt";
    std::remove(path.c_str());
    {
        std::ofstream seed(path);
        seed << "earlier\n";
    }
    std::vector<std::string> seen;
    TraceOutput out;
    ASSERT_TRUE(out.openFile(path));
    out.setCallback([&](std::string_view line) { seen.emplace_back(line); });
    out.write("one");
    out.write("two\rthree");
    // Flushed per line: readable while the output is still open.
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "earlier\none\ntwo\nthree\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two\nthree"}));
    std::remove(path.c_str());
}

TEST(TraceOutput, UnwritablePathIsReported) {
    TraceOutput out;
    EXPECT_FALSE(out.openFile("/nonexistent-folder/x/trace.txt"));
    out.write("no crash without a file");
}

}  // namespace
}  // namespace kestrel::runtime
