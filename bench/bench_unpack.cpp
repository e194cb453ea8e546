// Unpacking a projector whose payload holds 256 MB of files, beside a plain
// chunked copy of the same files in the same run, and the unpacking process's
// peak memory for payloads of 64 MB and 256 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_reader.h"
#include "common/payload_writer.h"

namespace {

using namespace kestrel;

constexpr int kFileCount = 16;
constexpr size_t kFileSize = 16u << 20;
constexpr size_t kChunkSize = PayloadReader::kCopyChunkSize;

struct Fixture {
    std::string root;
    std::vector<std::string> sources;
    std::string projector256;  // all 16 files
    std::string projector64;   // the first 4

    Fixture() {
        root = bench::MakeScratchFolder();
        std::vector<char> data(kFileSize);
        uint64_t state = bench::kNoiseSeed;
        for (int i = 0; i < kFileCount; ++i) {
            bench::FillWithNoise(data.data(), data.size(), state);
            std::string path = JoinPath(root, "movie" + std::to_string(i) + ".swf");
            BinaryFile file;
            if (!file.open(path, BinaryFile::Mode::WriteTruncate) ||
                !file.write(data.data(), data.size())) {
                std::abort();
            }
            sources.push_back(path);
        }
        projector256 = makeProjector("app256.exe", kFileCount);
        projector64 = makeProjector("app64.exe", 4);
    }
    ~Fixture() { RemoveDirectoryTree(root); }

    std::string makeProjector(const std::string& name, int files) {
        std::string path = JoinPath(root, name);
        {
            BinaryFile stub;
            std::vector<char> bytes(64 << 10, 'S');
            if (!stub.open(path, BinaryFile::Mode::WriteTruncate) ||
                !stub.write(bytes.data(), bytes.size())) {
                std::abort();
            }
        }
        PayloadWriter writer(path);
        writer.writeStartMarker();
        for (int i = 0; i < files; ++i) writer.writeFileItem(sources[i]);
        writer.writeSettingsItem("<xml version=\"1.0\">\n<windows>\n</windows>\n\n</xml>\n");
        if (!writer.writeEndMark()) std::abort();
        return path;
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

double Unpack(const std::string& projector, const std::string& folder) {
    auto start = std::chrono::steady_clock::now();
    MakeDirectory(folder);
    PayloadReader reader(folder);
    if (reader.open(projector) != PayloadError::None || reader.scan() != PayloadError::None) {
        std::abort();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same bytes read and written with the same chunk size.
double Copy(const std::vector<std::string>& sources, const std::string& folder) {
    auto start = std::chrono::steady_clock::now();
    MakeDirectory(folder);
    std::vector<char> chunk(kChunkSize);
    for (const std::string& source : sources) {
        BinaryFile in;
        BinaryFile out;
        if (!in.open(source, BinaryFile::Mode::Read) ||
            !out.open(JoinPath(folder, "copy_" + std::to_string(&source - &sources[0])),
                      BinaryFile::Mode::WriteTruncate)) {
            std::abort();
        }
        for (size_t done = 0; done < kFileSize; done += kChunkSize) {
            if (!in.readExactly(chunk.data(), kChunkSize) || !out.write(chunk.data(), kChunkSize)) {
                std::abort();
            }
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Unpack256MB(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string folder = JoinPath(f.root, "unpack");
    for (auto _ : state) {
        state.SetIterationTime(Unpack(f.projector256, folder));
        RemoveDirectoryTree(folder);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kFileCount) * int64_t(kFileSize));
}
BENCHMARK(BM_Unpack256MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Copy256MB(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string folder = JoinPath(f.root, "copy");
    for (auto _ : state) {
        state.SetIterationTime(Copy(f.sources, folder));
        RemoveDirectoryTree(folder);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kFileCount) * int64_t(kFileSize));
}
BENCHMARK(BM_Copy256MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Alternates the two so both see the same cache and disk state; reports
// unpack time over copy time.
void BM_UnpackOverCopy(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string unpackFolder = JoinPath(f.root, "unpack");
    std::string copyFolder = JoinPath(f.root, "copy");
    double unpackSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        unpackSeconds += Unpack(f.projector256, unpackFolder);
        RemoveDirectoryTree(unpackFolder);
        copySeconds += Copy(f.sources, copyFolder);
        RemoveDirectoryTree(copyFolder);
    }
    state.counters["unpack_over_copy"] = unpackSeconds / copySeconds;
}
BENCHMARK(BM_UnpackOverCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

// Peak resident memory of a child process that unpacks `projector`, in KiB.
long ChildPeakKiB(const std::string& projector, const std::string& folder) {
    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        if (!projector.empty()) Unpack(projector, folder);
        _exit(0);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::abort();
    }
    RemoveDirectoryTree(folder);
    return usage.ru_maxrss;
}

void BM_UnpackPeakMemory(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string folder = JoinPath(f.root, "unpack_rss");
    long idle = 0, peak64 = 0, peak256 = 0;
    for (auto _ : state) {
        idle = ChildPeakKiB("", folder);
        peak64 = ChildPeakKiB(f.projector64, folder);
        peak256 = ChildPeakKiB(f.projector256, folder);
    }
    state.counters["idle_KiB"] = static_cast<double>(idle);
    state.counters["peak_64MB_KiB"] = static_cast<double>(peak64);
    state.counters["peak_256MB_KiB"] = static_cast<double>(peak256);
    state.counters["peak_256_over_64"] = static_cast<double>(peak256) / static_cast<double>(peak64);
    state.counters["growth_256_over_64"] =
        static_cast<double>(peak256 - idle) / static_cast<double>(std::max(1L, peak64 - idle));
}
BENCHMARK(BM_UnpackPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
