// The container and tag parser against the third-party header corpus and damaged input.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::player {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, '\t')) out.push_back(field);
    return out;
}

struct ManifestRow {
    std::map<std::string, std::string> fields;
    const std::string& operator[](const std::string& k) const { return fields.at(k); }
};

std::vector<ManifestRow> headerCorpus() {
    std::ifstream in(std::string(KESTREL_CORPUS_DIR) + "/MANIFEST.tsv");
    std::string line;
    std::getline(in, line);
    std::vector<std::string> names = splitTabs(line);
    std::vector<ManifestRow> rows;
    while (std::getline(in, line)) {
        if (line.rfind("header/", 0) != 0) continue;
        std::vector<std::string> values = splitTabs(line);
        ManifestRow row;
        for (size_t i = 0; i < names.size(); ++i)
            row.fields[names[i]] = i < values.size() ? values[i] : "";
        rows.push_back(row);
    }
    return rows;
}

// Every corpus file loads or fails with the right error, its header fields match
// the manifest, and a movie that loads also plays a few frames.
TEST(SwfFile, HeaderCorpusLoadsOrFailsCleanly) {
    std::vector<ManifestRow> rows = headerCorpus();
    ASSERT_GE(rows.size(), 40u);
    int loaded = 0;
    for (const ManifestRow& row : rows) {
        SCOPED_TRACE(row["relative_path"]);
        std::vector<uint8_t> bytes =
            readFile(std::string(KESTREL_CORPUS_DIR) + "/" + row["relative_path"]);
        MovieLoadResult result = loadMovie(bytes.data(), bytes.size());
        const std::string& sig = row["signature"];
        if (sig == "ZWS") {
            EXPECT_EQ(result.error, SwfError::LzmaUnsupported);
            continue;
        }
        if (sig != "FWS" && sig != "CWS") {
            EXPECT_EQ(result.error, bytes.empty() ? SwfError::Empty : SwfError::NotSwf);
            continue;
        }
        ASSERT_EQ(result.error, SwfError::None) << toString(result.error);
        const SwfHeader& h = result.movie->header();
        EXPECT_EQ(std::to_string(h.version), row["version"]);
        EXPECT_EQ(h.fileLength, std::stoul(row["header_file_length"]));
        EXPECT_EQ(h.frameCount, std::stoul(row["frame_count"]));
        EXPECT_EQ(h.frameRateRaw, std::stoul(row["frame_rate_raw"], nullptr, 16));
        EXPECT_EQ(h.frameRect.xMin, std::stod(row["xmin_twips"]));
        EXPECT_EQ(h.frameRect.xMax, std::stod(row["xmax_twips"]));
        EXPECT_EQ(h.frameRect.yMin, std::stod(row["ymin_twips"]));
        EXPECT_EQ(h.frameRect.yMax, std::stod(row["ymax_twips"]));
        EXPECT_EQ(std::to_string(h.stageWidth()), row["stage_width_px"]);
        EXPECT_EQ(std::to_string(h.stageHeight()), row["stage_height_px"]);

        Stage stage(result.movie, nullptr);
        stage.start();
        for (int i = 0; i < 3; ++i) stage.tick();
        RenderList list;
        stage.buildRenderList(list);
        ++loaded;
    }
    EXPECT_GE(loaded, 30);
}

TEST(SwfFile, RefusesWhatIsNotAPlayableSwf) {
    struct Case {
        std::vector<uint8_t> bytes;
        SwfError expected;
    } cases[] = {
        {{}, SwfError::Empty},
        {{'G', 'I'}, SwfError::NotSwf},
        {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, SwfError::NotSwf},
        {{'Z', 'W', 'S', 10, 0, 0, 0, 0}, SwfError::LzmaUnsupported},
        {{'F', 'W', 'S', 8, 20, 0}, SwfError::Truncated},
        {{'F', 'W', 'S', 8, 20, 0, 0, 0}, SwfError::Truncated},  // no RECT
        {{'F', 'W', 'S', 8, 20, 0, 0, 0, 0x78}, SwfError::Truncated},
        {{'C', 'W', 'S', 8, 20, 0, 0, 0, 1, 2, 3, 4}, SwfError::BadCompression},
    };
    for (const Case& c : cases) {
        MovieLoadResult r = loadMovie(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(r.error, c.expected) << toString(r.error);
        EXPECT_FALSE(r.movie);
    }
    EXPECT_STREQ(toString(SwfError::LzmaUnsupported),
                 "LZMA-compressed (ZWS) movies are not supported");
}

const char* kAllTags = R"(
background #FF8800
shape 1
  fill #FF0000
  line 2 #000000
  rect 0 0 40 40 fill=1 line=1
end
sprite 2
  place 1 depth=1
  showframe
  showframe
end
export 2 "clip"
place 2 depth=1 x=10 name="c"
label "one"
tag 12 0700
showframe
move depth=1 x=20
showframe
remove 1
showframe
)";

TEST(SwfFile, CompressedAndPlainMoviesParseAlike) {
    auto plain = test::loadDescription(kAllTags);
    auto packed = test::loadDescription(std::string("compress zlib\n") + kAllTags);
    ASSERT_TRUE(plain && packed);
    EXPECT_EQ(packed->header().signature[0], 'C');
    for (const auto& movie : {plain, packed}) {
        EXPECT_FALSE(movie->truncated());
        EXPECT_EQ(movie->backgroundColor(), (Rgba{0xFF, 0x88, 0x00, 255}));
        EXPECT_EQ(movie->rootTimeline().frames.size(), 3u);
        EXPECT_EQ(movie->rootTimeline().frameForLabel("ONE"), 1);
        EXPECT_EQ(movie->kindOf(1), CharacterKind::Shape);
        EXPECT_EQ(movie->kindOf(2), CharacterKind::Sprite);
        EXPECT_EQ(movie->sprite(2)->frames.size(), 2u);
        EXPECT_EQ(movie->exportedId("clip"), 2);
        EXPECT_EQ(movie->exportNameOf(2), "clip");
        EXPECT_EQ(movie->shape(2), nullptr);
        ASSERT_EQ(movie->rootTimeline().frames[0].actions.size(), 1u);
        EXPECT_EQ(test::hexOf(movie->rootTimeline().frames[0].actions[0]), "0700");
    }
}

// Every prefix of a movie, and every single-byte corruption of it, loads or fails
// cleanly and plays a few frames without fault (run under the sanitizers in the
// fuzz build).
TEST(SwfFile, DamagedMoviesNeverBreakThePlayer) {
    std::vector<uint8_t> good = test::compileMovie(kAllTags);
    ASSERT_FALSE(good.empty());
    auto play = [](const std::vector<uint8_t>& bytes) {
        MovieLoadResult r = loadMovie(bytes.data(), bytes.size());
        if (r.error != SwfError::None) return;
        Stage stage(r.movie, nullptr);
        stage.start();
        stage.tick();
        stage.root().gotoFrame(1, true);
        stage.tick();
        RenderList list;
        stage.buildRenderList(list);
    };
    for (size_t n = 0; n < good.size(); ++n)
        play(std::vector<uint8_t>(good.begin(), good.begin() + n));
    for (size_t i = 8; i < good.size(); ++i) {
        for (uint8_t v : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x3F)}) {
            std::vector<uint8_t> bad = good;
            bad[i] = v;
            play(bad);
        }
    }
    std::vector<uint8_t> cut(good.begin(), good.end() - 6);
    MovieLoadResult r = loadMovie(cut.data(), cut.size());
    ASSERT_EQ(r.error, SwfError::None);
    EXPECT_TRUE(r.movie->truncated());
}

TEST(SwfFile, HugeDeclaredCountsAndLengthsAreRefusedByTheirBounds) {
    // A tag that claims 4 GB, and a shape with 65535 fill styles in 3 bytes.
    auto movie = test::loadDescription("tag 2 long FFFF0000 FF FFFF\nshowframe\n");
    ASSERT_TRUE(movie);
    auto lying = test::compileMovie("showframe\n");
    lying.insert(lying.end() - 2, {0x3F, 0x03, 0xFF, 0xFF, 0xFF, 0xFF});
    MovieLoadResult r = loadMovie(lying.data(), lying.size());
    ASSERT_EQ(r.error, SwfError::None);
    EXPECT_TRUE(r.movie->truncated());
}

}  // namespace
}  // namespace kestrel::player
