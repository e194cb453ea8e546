// The AVM1 corpus played by real projectors: each case's movie packed into skylet.exe,
// played by the real npfp.dll for exactly its frames (NPFP_FRAME_LIMIT), and its trace
// file compared with what the reference player wrote. A few projectors run at a time.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "builder/swf_header.h"
#include "common/file_system.h"
#include "common/projector_payload.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/corpus_cases.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

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

// One movie in its own projector. Its trace is complete once the process has ended.
class MovieRun {
  public:
    // `frameLimit` 0 lets the movie play until it quits by itself (or the time is up).
    MovieRun(const std::vector<uint8_t>& movie, int frameLimit, DWORD timeoutMs = kCaseTimeoutMs)
        : timeoutMs_(timeoutMs) {
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
        std::vector<std::pair<std::string, std::string>> environment{
            {"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", tracePath_}};
        if (frameLimit > 0)
            environment.emplace_back("NPFP_FRAME_LIMIT", std::to_string(frameLimit));
        started_ = WriteProjectorPayload(program, payload) == PayloadWriteError::None &&
                   process_.start({program, folder_.work(), environment});
        startedAt_ = GetTickCount();
    }

    // True once the run is over: the projector ended, was killed, or never started.
    bool finished() {
        if (!started_ || done_) return true;
        uint32_t code = 0;
        if (process_.waitForExit(kPollMs, &code)) {
            done_ = true;
            exitCode_ = code;
        } else if (GetTickCount() - startedAt_ > timeoutMs_) {
            process_.kill();
            done_ = timedOut_ = true;
        }
        return done_;
    }
    void waitUntilFinished() {
        while (!finished()) {
        }
    }

    // The trace, or why there is none worth comparing.
    std::string outcome() const {
        if (!started_) return "<projector not started>";
        if (timedOut_) return "<still running after " + std::to_string(timeoutMs_) + " ms>";
        const std::string trace = corpus::ReadWholeFile(tracePath_);
        if (exitCode_ != 0)
            return trace + "<projector ended with code " + std::to_string(exitCode_) + ">\n";
        return trace;
    }

  private:
    ProjectorFolder folder_;
    uitest::TestProcess process_;
    std::string tracePath_;
    DWORD timeoutMs_;
    DWORD startedAt_ = 0;
    uint32_t exitCode_ = 0;
    bool started_ = false, done_ = false, timedOut_ = false;
};

struct CaseRun {
    CorpusCase corpusCase;
    std::unique_ptr<MovieRun> run;
};

// The reference harness's browser logged every request into the output as it came
// ("Navigator::fetch:" and indented "URL:", "Method:", "Mime-Type:", "Body:" lines). A
// projector is another browser and its requests never reach the trace file, so only the
// movie's own lines are compared.
std::string MovieLinesOf(const std::string& output) {
    static const char* const kFetchDetails[] = {
        "  URL: ", "  Method: ", "  Mime-Type: ", "  Body: "};
    std::string kept;
    bool inFetch = false;
    for (size_t start = 0; start < output.size();) {
        const size_t end = output.find('\n', start);
        const size_t next = end == std::string::npos ? output.size() : end + 1;
        const std::string_view line(output.data() + start, next - start);
        bool detail = false;
        for (const char* prefix : kFetchDetails)
            detail = detail || line.substr(0, std::strlen(prefix)) == prefix;
        inFetch = line == "Navigator::fetch:\n" || (inFetch && detail);
        if (!inFetch) kept += line;
        start = next;
    }
    return kept;
}

TEST(ProjectorCorpusOutput, HarnessRequestLogsAreNoMovieLines) {
    const struct {
        const char* output;
        const char* movieLines;
    } cases[] = {
        {"a\nb\n", "a\nb\n"},
        {"a\nNavigator::fetch:\n  URL: http://h/\n  Method: POST\n  Mime-Type: x\n"
         "  Body: [00]\nb\n",
         "a\nb\n"},
        {"Navigator::fetch:\n  URL: u\n  Method: GET\nNavigator::fetch:\n  URL: v\n"
         "  Method: GET\n",
         ""},
        // Indented lines of the movie's own stay, before a request and after its details.
        {"  URL: mine\nNavigator::fetch:\n  URL: u\n  Method: GET\n  other\n  URL: x\n",
         "  URL: mine\n  other\n  URL: x\n"},
        {"no line end", "no line end"},
    };
    for (const auto& c : cases) EXPECT_EQ(MovieLinesOf(c.output), c.movieLines) << c.output;
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
    corpus::SetOutcome outcome;
    const DWORD began = GetTickCount();

    auto judge = [&](const CaseRun& caseRun) {
        const std::string& name = caseRun.corpusCase.name;
        const std::string expected = MovieLinesOf(
            corpus::ReadWholeFile(CorpusRoot() + set.folder + "/" + name + "/output.txt"));
        const std::string actual = caseRun.run->outcome();
        const bool ok = actual == expected;
        const bool known = knownFailures.count(set.folder + "/" + name) > 0;
        (ok ? outcome.passed : outcome.failed).push_back(name);
        if (ok && known) outcome.fixed.push_back(name);
        if (ok) return;
        corpus::KeepTraceOfFailure(set.folder, name, actual);
        if (!known)
            ADD_FAILURE() << set.folder << "/" << name << ": trace differs\n--- expected\n"
                          << expected.substr(0, 2000) << "\n--- actual\n"
                          << actual.substr(0, 2000);
    };

    const size_t jobs = ParallelRuns();
    std::vector<CaseRun> running;
    size_t next = 0;
    while (next < cases.size() || !running.empty()) {
        while (running.size() < jobs && next < cases.size()) {
            const CorpusCase& c = cases[next++];
            running.push_back({c, std::make_unique<MovieRun>(
                                      skylet_test::ReadWholeFile(CorpusRoot() + set.folder + "/" +
                                                                 c.name + "/test.swf"),
                                      c.frames)});
        }
        for (auto it = running.begin(); it != running.end();) {
            if (it->run->finished()) {
                judge(*it);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }

    // Cases end in any order when several run at once.
    for (auto* names : {&outcome.passed, &outcome.failed, &outcome.fixed})
        std::sort(names->begin(), names->end());
    const std::string tag = "[ " + set.folder + " projector ] ";
    corpus::PrintSetOutcome(tag, outcome);
    std::cout << tag << "played in " << (GetTickCount() - began) / 1000.0 << " s, " << jobs
              << " at a time\n";
}

TEST(ProjectorCorpus, FirstSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kFirstSet);
}

TEST(ProjectorCorpus, SecondSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kSecondSet);
}

// How a projector run ends: a movie that quits by itself, one stopped after its frames,
// one stuck beyond its time. Frames 1 to 3 trace their number; frame 2 may quit.
TEST(ProjectorCorpusRun, EndsByQuitFrameLimitOrTimeout) {
    const std::string frames =
        "action\n  push \"1\"\n  trace\nend\nshowframe\n"
        "action\n  push \"2\"\n  trace\n  %QUIT%end\nshowframe\n"
        "action\n  push \"3\"\n  trace\nend\nshowframe\n";
    auto movie = [&](const std::string& quit) {
        std::string text = "version 8\nstage 100 80\nrate 30\n" + frames;
        text.replace(text.find("%QUIT%"), 6, quit);
        std::string error;
        auto bytes = swf::CompileDescription(text, error);
        EXPECT_TRUE(bytes) << error;
        return bytes ? *bytes : std::vector<uint8_t>();
    };
    const std::string quit = "getURL \"FSCommand:quit\" \"\"\n  push \"after\"\n  trace\n  ";
    struct Case {
        const char* what;
        std::string quit;
        int frameLimit;
        DWORD timeoutMs;
        std::string outcome;
    };
    const Case cases[] = {
        {"fscommand quit", quit, 0, kCaseTimeoutMs, "1\n2\n"},
        {"quit before the limit", quit, 3, kCaseTimeoutMs, "1\n2\n"},
        {"frame limit 1", "", 1, kCaseTimeoutMs, "1\n"},
        // The timeline loops: frame 5 is the second "2".
        {"frame limit 5", "", 5, kCaseTimeoutMs, "1\n2\n3\n1\n2\n"},
        {"stuck", "", 0, 3000, "<still running after 3000 ms>"},
    };
    for (const Case& c : cases) {
        MovieRun run(movie(c.quit), c.frameLimit, c.timeoutMs);
        run.waitUntilFinished();
        EXPECT_EQ(run.outcome(), c.outcome) << c.what;
    }
}

}  // namespace
}  // namespace kestrel::e2e
