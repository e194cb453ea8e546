// The AVM1 corpus played by real projectors: each case's movie packed into skylet.exe,
// played by the real npfp.dll for exactly its frames (NPFP_FRAME_LIMIT), and its trace
// file compared with what the reference player wrote. A few projectors run at a time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "builder/swf_header.h"
#include "common/file_system.h"
#include "common/projector_payload.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/corpus_cases.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::e2e {
namespace {

using corpus::CorpusCase;
using corpus::CorpusRoot;
using skylet_test::ProjectorFolder;

// Wine starts a program in about a second once its server runs; the first start of a
// fresh prefix takes far longer.
constexpr DWORD kCaseTimeoutMs = 60000;
constexpr DWORD kPollMs = 20;

struct CorpusSet {
    std::string folder;
    size_t minimumCases = 0;
    // Need a host that answers like the reference harness; the native harness plays it.
    std::set<std::string> hostDependent;
};

const CorpusSet kFirstSet = {"avm1", 60, {"external_interface"}};
const CorpusSet kSecondSet = {"avm1-second", 100, {}};

// How many projectors run at once: KESTREL_CORPUS_JOBS, else 2.
size_t ParallelRuns() {
    const char* text = std::getenv("KESTREL_CORPUS_JOBS");
    const int jobs = text ? std::atoi(text) : 0;
    return jobs > 0 && jobs <= 16 ? static_cast<size_t>(jobs) : 2;
}

// One case in its own projector. Its trace is complete once the process has ended.
class CaseRun {
  public:
    CaseRun(const std::string& set, const CorpusCase& c) : case_(c) {
        const std::vector<uint8_t> movie =
            skylet_test::ReadWholeFile(CorpusRoot() + set + "/" + c.name + "/test.swf");
        // Sized from the movie, as the builder exports a window of "swf_size".
        SwfHeader header;
        const bool sized = ReadSwfHeaderFromMemory(movie.data(), movie.size(), &header);
        ProjectorPayload payload =
            skylet_test::ShownMainWindowPayload("Corpus", sized ? header.StageWidthPixels() : 550,
                                                sized ? header.StageHeightPixels() : 400);
        payload.mainWindow.sizeMode = WindowSizeMode::SwfSize;
        payload.windows.resize(1);
        payload.windows[0].moviePath = folder_.writeFile("movie.swf", movie);
        const std::string program = folder_.copyStub("corpus.exe");
        tracePath_ = JoinPath(folder_.work(), "trace.txt");
        const std::string temp = folder_.temp() + "\\";
        started_ = WriteProjectorPayload(program, payload) == PayloadWriteError::None &&
                   process_.start({program,
                                   folder_.work(),
                                   {{"TMP", temp},
                                    {"TEMP", temp},
                                    {"NPFP_TRACE_FILE", tracePath_},
                                    {"NPFP_FRAME_LIMIT", std::to_string(c.frames)}}});
        startedAt_ = GetTickCount();
    }

    const CorpusCase& corpusCase() const { return case_; }

    // True once the run is over: the projector ended, was killed, or never started.
    bool finished() {
        if (!started_ || done_) return true;
        uint32_t code = 0;
        if (process_.waitForExit(kPollMs, &code)) {
            done_ = true;
            exitCode_ = code;
        } else if (GetTickCount() - startedAt_ > kCaseTimeoutMs) {
            process_.kill();
            done_ = timedOut_ = true;
        }
        return done_;
    }

    // The trace, or why there is none worth comparing.
    std::string outcome() const {
        if (!started_) return "<projector not started>";
        if (timedOut_) return "<still running after " + std::to_string(kCaseTimeoutMs) + " ms>";
        const std::string trace = corpus::ReadWholeFile(tracePath_);
        if (exitCode_ != 0)
            return trace + "<projector ended with code " + std::to_string(exitCode_) + ">\n";
        return trace;
    }

  private:
    CorpusCase case_;
    ProjectorFolder folder_;
    uitest::TestProcess process_;
    std::string tracePath_;
    DWORD startedAt_ = 0;
    uint32_t exitCode_ = 0;
    bool started_ = false, done_ = false, timedOut_ = false;
};

// KESTREL_CORPUS_OUT names a folder where every failing case's trace is written as
// SET-CASE.txt, to compare with the expected output.
void KeepTraceOfFailure(const std::string& set, const std::string& name,
                        const std::string& actual) {
    const char* folder = std::getenv("KESTREL_CORPUS_OUT");
    if (!folder || !*folder) return;
    std::ofstream(std::string(folder) + "/" + set + "-" + name + ".txt", std::ios::binary)
        << actual;
}

// KESTREL_CORPUS_ONLY=CASE plays that case alone, while working on it.
bool Wanted(const CorpusCase& c) {
    const char* only = std::getenv("KESTREL_CORPUS_ONLY");
    return !only || !*only || c.name == only;
}

void PlayCorpusSet(const CorpusSet& set) {
    const std::vector<CorpusCase> all = corpus::ReadCorpusCases(set.folder);
    ASSERT_GT(all.size(), set.minimumCases) << "corpus not found at " << CorpusRoot() << set.folder;
    std::vector<CorpusCase> cases;
    for (const CorpusCase& c : all)
        if (!set.hostDependent.count(c.name) && Wanted(c)) cases.push_back(c);
    const std::set<std::string> knownFailures = corpus::ReadKnownFailures();
    std::vector<std::string> passed, failed, fixed;
    const DWORD began = GetTickCount();

    auto judge = [&](const CaseRun& run) {
        const std::string& name = run.corpusCase().name;
        const std::string expected =
            corpus::ReadWholeFile(CorpusRoot() + set.folder + "/" + name + "/output.txt");
        const std::string actual = run.outcome();
        const bool ok = actual == expected;
        const bool known = knownFailures.count(set.folder + "/" + name) > 0;
        (ok ? passed : failed).push_back(name);
        if (ok && known) fixed.push_back(name);
        if (ok) return;
        KeepTraceOfFailure(set.folder, name, actual);
        if (!known)
            ADD_FAILURE() << set.folder << "/" << name << ": trace differs\n--- expected\n"
                          << expected.substr(0, 2000) << "\n--- actual\n"
                          << actual.substr(0, 2000);
    };

    const size_t jobs = ParallelRuns();
    std::vector<std::unique_ptr<CaseRun>> running;
    size_t next = 0;
    while (next < cases.size() || !running.empty()) {
        while (running.size() < jobs && next < cases.size())
            running.push_back(std::make_unique<CaseRun>(set.folder, cases[next++]));
        for (auto it = running.begin(); it != running.end();) {
            if ((*it)->finished()) {
                judge(**it);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }

    const std::string tag = "[ " + set.folder + " projector ] ";
    const size_t total = passed.size() + failed.size();
    std::cout << tag << passed.size() << " of " << total << " cases pass in "
              << (GetTickCount() - began) / 1000.0 << " s, " << jobs << " at a time\n";
    std::cout << tag << "failing:";
    for (const auto& n : failed) std::cout << ' ' << n;
    std::cout << '\n';
    for (const auto& n : fixed)
        std::cout << tag << n << " passes now: take it off the known failures\n";
}

TEST(ProjectorCorpus, FirstSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kFirstSet);
}

TEST(ProjectorCorpus, SecondSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kSecondSet);
}

}  // namespace
}  // namespace kestrel::e2e
