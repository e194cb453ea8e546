// Exporting a projector whose movie and extra files total 256 MB, beside a
// plain chunked copy of the same files in the same run, and the exporting
// process's peak memory for projects of 64 MB and 256 MB.
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
#include "builder/export/export_command.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "tools/swfwriter/movie_builder.h"

namespace {

using namespace kestrel;

constexpr int kFileCount = 16;
constexpr size_t kFileSize = 16u << 20;
constexpr size_t kChunkSize = 1u << 20;

void WriteFile(const std::string& path, const void* data, size_t size) {
    BinaryFile file;
    if (!file.open(path, BinaryFile::Mode::WriteTruncate) || !file.write(data, size) ||
        !file.close())
        std::abort();
}

struct Fixture {
    std::string root;
    std::string movie;
    std::vector<std::string> sources;  // the extra files

    Fixture() {
        root = bench::MakeScratchFolder();
        swf::MovieBuilder builder;
        builder.Root().ShowFrame();
        std::vector<uint8_t> bytes = *builder.Build();
        movie = JoinPath(root, "movie.swf");
        WriteFile(movie, bytes.data(), bytes.size());
        std::vector<char> data(kFileSize);
        uint64_t state = bench::kNoiseSeed;
        for (int i = 0; i < kFileCount; ++i) {
            bench::FillWithNoise(data.data(), data.size(), state);
            sources.push_back(JoinPath(root, "data" + std::to_string(i) + ".bin"));
            WriteFile(sources.back(), data.data(), data.size());
        }
        MakeDirectory(JoinPath(root, "out"));
    }
    ~Fixture() { RemoveDirectoryTree(root); }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// Exports a project carrying the first `files` extra files; returns seconds.
double Export(int files) {
    Fixture& f = TheFixture();
    auto start = std::chrono::steady_clock::now();
    Project project;
    project.SetOutputFolder(JoinPath(f.root, "out"));
    project.SetProjectName("bench");
    project.SetOutputEnabled(ExportTarget::Windows, true);
    if (!project.MainWindow().SetMovie(f.movie)) std::abort();
    for (int i = 0; i < files; ++i) project.MainWindow().AddExtraFile(f.sources[i]);
    ExportContext context;
    context.stub.assign(64 << 10, 'S');
    context.alwaysOverwrite = true;
    if (RunExport(project, context).outcome != ExportOutcome::Finished) std::abort();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RemoveFile(JoinPath(JoinPath(f.root, "out"), "bench.exe"));
    return seconds;
}

// The same bytes read and written in the same chunk size, into one file.
double Copy() {
    Fixture& f = TheFixture();
    auto start = std::chrono::steady_clock::now();
    const std::string target = JoinPath(f.root, "copy.bin");
    BinaryFile out;
    if (!out.open(target, BinaryFile::Mode::WriteTruncate)) std::abort();
    std::vector<char> chunk(kChunkSize);
    for (const std::string& source : f.sources) {
        BinaryFile in;
        if (!in.open(source, BinaryFile::Mode::Read)) std::abort();
        for (size_t done = 0; done < kFileSize; done += kChunkSize) {
            if (!in.readExactly(chunk.data(), kChunkSize) || !out.write(chunk.data(), kChunkSize))
                std::abort();
        }
    }
    if (!out.close()) std::abort();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RemoveFile(target);
    return seconds;
}

void BM_Export256MB(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(Export(kFileCount));
    state.SetBytesProcessed(state.iterations() * int64_t(kFileCount) * int64_t(kFileSize));
}
BENCHMARK(BM_Export256MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Copy256MB(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(Copy());
    state.SetBytesProcessed(state.iterations() * int64_t(kFileCount) * int64_t(kFileSize));
}
BENCHMARK(BM_Copy256MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Alternates the two so both see the same cache and disk state; reports
// export time over copy time (the target is at most 1.25).
void BM_ExportOverCopy(benchmark::State& state) {
    double exportSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        exportSeconds += Export(kFileCount);
        copySeconds += Copy();
    }
    state.counters["export_over_copy"] = exportSeconds / copySeconds;
}
BENCHMARK(BM_ExportOverCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

// Peak resident memory of a child process that exports `files` files, in KiB.
long ChildPeakKiB(int files) {
    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        if (files > 0) Export(files);
        _exit(0);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return usage.ru_maxrss;
}

void BM_ExportPeakMemory(benchmark::State& state) {
    TheFixture();  // made before forking, so no child writes the files
    long idle = 0, peak64 = 0, peak256 = 0;
    for (auto _ : state) {
        idle = ChildPeakKiB(0);
        peak64 = ChildPeakKiB(4);
        peak256 = ChildPeakKiB(kFileCount);
    }
    state.counters["idle_KiB"] = static_cast<double>(idle);
    state.counters["peak_64MB_KiB"] = static_cast<double>(peak64);
    state.counters["peak_256MB_KiB"] = static_cast<double>(peak256);
    state.counters["growth_256_over_64"] =
        static_cast<double>(peak256 - idle) / static_cast<double>(std::max(1L, peak64 - idle));
}
BENCHMARK(BM_ExportPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
