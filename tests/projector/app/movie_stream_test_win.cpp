// Streaming the movie into a new instance against the fake plug-in: chunks of
// at most 100,000 bytes and never more than NPP_WriteReady allows, a
// WriteReady of 0 or less ending delivery, the as-file stream type, stream
// types the host does not serve, and a refused stream.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "projector/app/host_surface_win.h"
#include "projector/app/plugin_instance_win.h"
#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector {
namespace {

using test::TheFakePlugin;
using Write = std::pair<int32_t, int32_t>;  // offset, length

struct StreamCase {
    const char* name;
    size_t movieSize;
    std::vector<int32_t> writeReady;  // the plug-in's answers in turn
    uint16_t streamType;
    NPError newStreamAnswer;
    std::vector<Write> writes;
    bool started;
};

void PrintTo(const StreamCase& c, std::ostream* out) {
    *out << c.name;
}

const StreamCase kCases[] = {
    {"ChunksOfAHundredThousandBytes",
     250000,
     {},
     NP_NORMAL,
     NPERR_NO_ERROR,
     {{0, 100000}, {100000, 100000}, {200000, 50000}},
     true},
    {"WriteReadySetsASmallerChunk",
     70000,
     {30000},
     NP_NORMAL,
     NPERR_NO_ERROR,
     {{0, 30000}, {30000, 30000}, {60000, 10000}},
     true},
    {"WriteReadyChangesBetweenChunks",
     150000,
     {120000, 20000, 200000},
     NP_NORMAL,
     NPERR_NO_ERROR,
     {{0, 100000}, {100000, 20000}, {120000, 30000}},
     true},
    {"WriteReadyZeroEndsDelivery",
     250000,
     {100000, 0},
     NP_NORMAL,
     NPERR_NO_ERROR,
     {{0, 100000}},
     false},
    {"WriteReadyNegativeEndsDelivery", 250000, {-1}, NP_NORMAL, NPERR_NO_ERROR, {}, false},
    {"AsFileStreamIsWrittenToo", 1000, {}, NP_ASFILE, NPERR_NO_ERROR, {{0, 1000}}, true},
    {"SeekStreamIsNotServed", 1000, {}, NP_SEEK, NPERR_NO_ERROR, {}, false},
    {"AsFileOnlyIsNotServed", 1000, {}, NP_ASFILEONLY, NPERR_NO_ERROR, {}, false},
    {"RefusedStream", 1000, {}, NP_NORMAL, NPERR_GENERIC_ERROR, {}, false},
    {"EmptyMovie", 0, {}, NP_NORMAL, NPERR_NO_ERROR, {}, true},
};

std::string MovieBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class MovieStream : public testing::TestWithParam<StreamCase> {
  protected:
    void SetUp() override {
        TheFakePlugin().reset();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        moviePath = std::string(temp) + "kestrel_movie_stream_" +
                    std::to_string(GetCurrentProcessId()) + ".swf";
        window.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr));
        surface = std::make_unique<OpaqueSurface>(window.get(), 10, 10);
        surface->create();
    }
    void TearDown() override {
        instance.reset();
        surface.reset();
        window.reset();
        DeleteFileA(moviePath.c_str());
    }
    void WriteMovie(const std::string& bytes) {
        KernelHandle file(
            CreateFileA(moviePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        EXPECT_TRUE(file.close());
        ASSERT_EQ(written, bytes.size());
    }

    NPPluginFuncs functions = test::FakePluginFunctions();
    std::string moviePath;
    OwnedWindow window;
    std::unique_ptr<OpaqueSurface> surface;
    std::unique_ptr<PluginInstance> instance;
};

TEST_P(MovieStream, DeliversAsThePluginAllows) {
    const StreamCase& c = GetParam();
    const std::string movie = MovieBytes(c.movieSize);
    WriteMovie(movie);
    TheFakePlugin().writeReadyAnswers = c.writeReady;
    TheFakePlugin().streamType = c.streamType;
    TheFakePlugin().newStreamAnswer = c.newStreamAnswer;

    instance = std::make_unique<PluginInstance>(functions, *surface);
    instance->setParameter("src", moviePath);
    EXPECT_EQ(instance->start(), c.started);

    const auto newStreams = TheFakePlugin().callsOf("newstream");
    ASSERT_EQ(newStreams.size(), 1u);
    EXPECT_EQ(newStreams[0].text, "application/x-shockwave-flash " + instance->movieLocation());

    std::vector<Write> writes;
    for (const auto& call : TheFakePlugin().callsOf("write")) {
        writes.emplace_back(call.offset, call.length);
        EXPECT_EQ(call.end, c.movieSize) << "the stream's end is the file's size";
    }
    EXPECT_EQ(writes, c.writes);
    if (c.started) {
        EXPECT_TRUE(TheFakePlugin().received == movie) << TheFakePlugin().received.size();
    }

    // Every write was asked for first, and no write was larger than allowed.
    const auto& calls = TheFakePlugin().calls;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].what != "write") continue;
        ASSERT_GT(i, 0u);
        ASSERT_EQ(calls[i - 1].what, "writeready");
        EXPECT_LE(calls[i].length, calls[i - 1].length);
    }

    // An accepted stream is destroyed once, with reason "done"; a refused one
    // was never open. Only a complete as-file stream is named to the plug-in.
    const auto destroyed = TheFakePlugin().callsOf("destroystream");
    if (c.newStreamAnswer == NPERR_NO_ERROR) {
        ASSERT_EQ(destroyed.size(), 1u);
        EXPECT_EQ(destroyed[0].offset, NPRES_DONE);
        EXPECT_EQ(calls.back().what, "destroystream");
    } else {
        EXPECT_TRUE(destroyed.empty());
    }
    const auto asFile = TheFakePlugin().callsOf("asfile");
    if (c.streamType == NP_ASFILE && c.started) {
        ASSERT_EQ(asFile.size(), 1u);
        EXPECT_EQ(asFile[0].text, instance->movieLocation());
        EXPECT_EQ(calls[calls.size() - 2].what, "asfile") << "after the last write, before the end";
    } else {
        EXPECT_TRUE(asFile.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MovieStream, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<StreamCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MovieStreamWithoutMovie, NoStreamAndTheInstanceStillStarts) {
    TheFakePlugin().reset();
    OwnedWindow window(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr));
    NPPluginFuncs functions = test::FakePluginFunctions();
    {
        OpaqueSurface surface(window.get(), 10, 10);
        surface.create();
        PluginInstance instance(functions, surface);
        EXPECT_TRUE(instance.start());
        EXPECT_EQ(instance.movieLocation(), "empty");
        EXPECT_TRUE(TheFakePlugin().callsOf("newstream").empty());
    }
}

}  // namespace
}  // namespace kestrel::projector
