#include "builder/swf_header.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::Bytes;
using test::TestFolder;
using namespace std::string_literals;

// The "header/" rows of the corpus manifest, by column name.
std::vector<std::map<std::string, std::string>> HeaderCorpus() {
    std::ifstream in(std::string(KESTREL_CORPUS_DIR) + "/MANIFEST.tsv");
    auto split = [](const std::string& line) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        std::string field;
        while (std::getline(stream, field, '\t')) fields.push_back(field);
        return fields;
    };
    std::string line;
    std::getline(in, line);
    std::vector<std::string> names = split(line);
    std::vector<std::map<std::string, std::string>> rows;
    while (std::getline(in, line)) {
        if (line.rfind("header/", 0) != 0) continue;
        std::vector<std::string> values = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < names.size(); ++i)
            row[names[i]] = i < values.size() ? values[i] : "";
        rows.push_back(row);
    }
    return rows;
}

TEST(SwfHeaderTest, EveryCorpusFileReadsToItsManifestValues) {
    auto rows = HeaderCorpus();
    ASSERT_GE(rows.size(), 40u);
    for (auto& row : rows) {
        SCOPED_TRACE(row["relative_path"]);
        SwfHeader header;
        bool read =
            ReadSwfHeader(std::string(KESTREL_CORPUS_DIR) + "/" + row["relative_path"], &header);
        const std::string& signature = row["signature"];
        if (signature != "FWS" && signature != "CWS") {
            // LZMA movies, text and the empty file alike.
            EXPECT_FALSE(read);
            EXPECT_EQ(header.error, SwfHeaderError::BadSignature);
            continue;
        }
        ASSERT_TRUE(read) << ToString(header.error);
        EXPECT_EQ(header.compressed, signature == "CWS");
        EXPECT_EQ(std::to_string(header.version), row["version"]);
        EXPECT_EQ(std::to_string(header.fileLength), row["header_file_length"]);
        EXPECT_EQ(std::to_string(header.xMin), row["xmin_twips"]);
        EXPECT_EQ(std::to_string(header.xMax), row["xmax_twips"]);
        EXPECT_EQ(std::to_string(header.yMin), row["ymin_twips"]);
        EXPECT_EQ(std::to_string(header.yMax), row["ymax_twips"]);
        EXPECT_EQ(std::to_string(header.StageWidthPixels()), row["stage_width_px"]);
        EXPECT_EQ(std::to_string(header.StageHeightPixels()), row["stage_height_px"]);
        EXPECT_EQ(std::to_string(header.frameCount), row["frame_count"]);
        EXPECT_FLOAT_EQ(header.frameRate, std::stoul(row["frame_rate_raw"], nullptr, 16) / 256.0f);
    }
}

TEST(SwfHeaderTest, CompressedAndPlainMoviesOfOneStageReadAlike) {
    TestFolder folder;
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        SwfHeader header;
        ASSERT_TRUE(ReadSwfHeader(test::WriteMovie(folder, "m.swf", 0, 11000, 0, 8000, compressed),
                                  &header));
        EXPECT_EQ(header.compressed, compressed);
        EXPECT_EQ(header.StageWidthPixels(), 550);
        EXPECT_EQ(header.StageHeightPixels(), 400);
        EXPECT_EQ(header.StageWidthTwips(), 11000);
        EXPECT_FLOAT_EQ(header.frameRate, 24.0f);
        EXPECT_EQ(header.frameCount, 1);
    }
    // Nothing is left beside the movie.
    EXPECT_EQ(test::ListTree(folder.path()), (std::set<std::string>{"m.swf"}));
}

TEST(SwfHeaderTest, FrameRateIsEightDotEightFixedPoint) {
    // "FWS", version 6, length, Nbits 0 (one byte), rate, count 1.
    struct Case {
        uint8_t fraction, whole;
        float rate;
    } cases[] = {{0x00, 0x0C, 12.0f}, {0x80, 0x0C, 12.5f}, {0x40, 0xD4, 212.25f}, {0, 0, 0}};
    for (const Case& c : cases) {
        Bytes file = {'F', 'W', 'S', 6, 14, 0, 0, 0, 0x00, c.fraction, c.whole, 1, 0};
        SwfHeader header;
        ASSERT_TRUE(ReadSwfHeaderFromMemory(file.data(), file.size(), &header));
        EXPECT_FLOAT_EQ(header.frameRate, c.rate);
    }
    SwfHeader header;
    header.frameRate = 12.5f;
    EXPECT_EQ(FrameRateText(header), "12.5 fps");
    header.frameRate = 12.0f;
    EXPECT_EQ(FrameRateText(header), "12.0 fps");
}

TEST(SwfHeaderTest, NegativeRectangleFieldsAreSigned) {
    TestFolder folder;
    SwfHeader header;
    ASSERT_TRUE(ReadSwfHeader(test::WriteMovie(folder, "m.swf", -2000, 2000, -20, 400), &header));
    EXPECT_EQ(header.xMin, -2000);
    EXPECT_EQ(header.StageWidthPixels(), 200);
    EXPECT_EQ(header.StageHeightPixels(), 21);
}

TEST(SwfHeaderTest, BadSignaturesAndTruncationsAreErrorTwo) {
    TestFolder folder;
    swf::MovieBuilder movie;
    movie.Root().ShowFrame();
    Bytes plain = *movie.Build();
    movie.Header().compression = swf::Compression::kZlib;
    Bytes compressed = *movie.Build();
    std::vector<Bytes> bad = {{},
                              test::BytesOf("FWX"),
                              test::BytesOf("GIF89a"),
                              test::BytesOf("ZWS\x0f"),
                              test::BytesOf("CWX\x08\x10\x00\x00\x00"s),
                              // A compressed body that is not a zlib stream.
                              test::BytesOf("CWS\x08\x10\x00\x00\x00garbage-garbage-garbage"s)};
    // Every cut before the end of the header: 8 fixed bytes, 8 of the
    // rectangle (Nbits 15), 4 more.
    for (size_t cut = 0; cut < 20; ++cut) bad.emplace_back(plain.begin(), plain.begin() + cut);
    for (size_t cut = 0; cut < 12; ++cut)
        bad.emplace_back(compressed.begin(), compressed.begin() + cut);
    for (const Bytes& bytes : bad) {
        SCOPED_TRACE(std::string(bytes.begin(), bytes.end()));
        test::WriteBytes(folder / "bad.swf", bytes);
        SwfHeader header;
        EXPECT_FALSE(ReadSwfHeader(folder / "bad.swf", &header));
        EXPECT_EQ(header.error, SwfHeaderError::BadSignature);
        EXPECT_FALSE(ReadSwfHeaderFromMemory(bytes.data(), bytes.size(), &header));
        EXPECT_EQ(header.error, SwfHeaderError::BadSignature);
    }
    // Just long enough reads.
    SwfHeader header;
    EXPECT_TRUE(ReadSwfHeaderFromMemory(plain.data(), 21, &header));
}

TEST(SwfHeaderTest, MissingFileFailsWithoutErrorCode) {
    TestFolder folder;
    SwfHeader header;
    EXPECT_FALSE(ReadSwfHeader("", &header));
    EXPECT_FALSE(ReadSwfHeader(folder / "none.swf", &header));
    EXPECT_EQ(header.error, SwfHeaderError::None);
    EXPECT_FALSE(ReadSwfHeader(folder.path(), &header));
}

}  // namespace
}  // namespace kestrel
