// Reading the header of a 100 MB compressed movie, which inflates only the
// few bytes the header needs, beside inflating the whole movie to a
// temporary file in 64-byte blocks and reading the header from that.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "builder/swf_header.h"
#include "common/binary_file.h"
#include "common/file_system.h"

namespace {

using namespace kestrel;

constexpr size_t kMovieBody = 100u << 20;

struct Fixture {
    std::string root;
    std::string movie;     // "CWS", about 100 MB on disk
    std::string inflated;  // where the whole-movie method writes its copy

    Fixture() {
        root = bench::MakeScratchFolder();
        movie = JoinPath(root, "big.swf");
        inflated = JoinPath(root, "_xxswfxx__.bin");

        // Header body (550 x 400, 24 fps, one frame) and random tag bytes,
        // which deflate cannot shrink: the file is as large as the movie.
        std::vector<uint8_t> body(kMovieBody);
        const uint8_t header[] = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F,
                                  0xA0, 0x00, 0x00, 0x18, 0x01, 0x00};
        std::memcpy(body.data(), header, sizeof header);
        uint64_t state = bench::kNoiseSeed;
        bench::FillWithNoise(body.data() + sizeof header, body.size() - sizeof header, state);
        uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
        std::vector<uint8_t> packed(packedSize);
        if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()),
                      1) != Z_OK)
            std::abort();
        uint32_t length = static_cast<uint32_t>(body.size() + 8);
        uint8_t fixed[8] = {'C',
                            'W',
                            'S',
                            10,
                            static_cast<uint8_t>(length),
                            static_cast<uint8_t>(length >> 8),
                            static_cast<uint8_t>(length >> 16),
                            static_cast<uint8_t>(length >> 24)};
        BinaryFile file;
        if (!file.open(movie, BinaryFile::Mode::WriteTruncate) ||
            !file.write(fixed, sizeof fixed) || !file.write(packed.data(), packedSize) ||
            !file.close())
            std::abort();
    }
    ~Fixture() { RemoveDirectoryTree(root); }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// The whole-movie method: "FWS", the version and length copied, then every
// inflated 64-byte block written out; then the header read from that copy.
bool InflateWholeAndRead(const std::string& source, const std::string& destination,
                         SwfHeader* header) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    std::FILE* out = std::fopen(destination.c_str(), "wb");
    if (!in || !out) std::abort();
    uint8_t fixed[8];
    if (std::fread(fixed, 1, 8, in) != 8) std::abort();
    std::fwrite("FWS", 1, 3, out);
    std::fwrite(fixed + 3, 1, 5, out);
    z_stream stream{};
    inflateInit(&stream);
    uint8_t input[64], output[64];
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0) {
            size_t count = std::fread(input, 1, sizeof input, in);
            if (count == 0) break;
            stream.next_in = input;
            stream.avail_in = static_cast<uInt>(count);
        }
        stream.next_out = output;
        stream.avail_out = sizeof output;
        status = inflate(&stream, Z_SYNC_FLUSH);
        std::fwrite(output, 1, sizeof output - stream.avail_out, out);
    }
    inflateEnd(&stream);
    std::fclose(in);
    std::fclose(out);
    bool read = ReadSwfHeader(destination, header);
    RemoveFile(destination);
    return read && status == Z_STREAM_END;
}

void BM_HeaderOfCompressedMovie(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        SwfHeader header;
        if (!ReadSwfHeader(fixture.movie, &header) || header.StageWidthPixels() != 550)
            std::abort();
        benchmark::DoNotOptimize(header);
    }
}
BENCHMARK(BM_HeaderOfCompressedMovie)->Unit(benchmark::kMicrosecond);

void BM_InflateWholeMovieThenHeader(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        SwfHeader header;
        if (!InflateWholeAndRead(fixture.movie, fixture.inflated, &header) ||
            header.StageWidthPixels() != 550)
            std::abort();
        benchmark::DoNotOptimize(header);
    }
}
BENCHMARK(BM_InflateWholeMovieThenHeader)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
