// Runs the AVM1 corpus (real movies with the output the reference player traced).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "corpus_runner.h"

namespace kestrel::avm1::test {
namespace {

// Cases that do not trace exactly yet. A case listed here that passes is reported, a case not
// listed that fails is a regression.
const std::set<std::string> kKnownFailures = {
    "array_length",                   // holes and out-of-range indices of sparse arrays
    "define_local_with_paths",        // this['/:pqr'] member names that look like paths
    "external_interface_toas_basic",  // needs the runtime's XML class
    "external_interface_toxml_basic", // holes of sparse arrays in for..in
    "swf6_case_insensitive",          // case folding beyond ASCII
    "swf7_case_sensitive",            // clip display properties (_x...) need the runtime
};

struct CorpusCase {
    std::string name;
    int frames;
};

std::vector<CorpusCase> readCases() {
    std::vector<CorpusCase> cases;
    std::ifstream in(std::string(KESTREL_CORPUS_DIR) + "/avm1/CASES.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t')) cols.push_back(col);
        if (cols.size() < 6) continue;
        // external_interface needs a browser-side host provider.
        if (cols[0] == "external_interface") continue;
        int frames = std::max(cols[4].empty() ? 0 : std::atoi(cols[4].c_str()),
                              cols[5].empty() ? 0 : std::atoi(cols[5].c_str()));
        cases.push_back({cols[0], std::max(frames, 1)});
    }
    return cases;
}

std::string firstDifference(const std::vector<std::string>& got, const std::vector<std::string>& want) {
    size_t n = std::max(got.size(), want.size());
    for (size_t i = 0; i < n; ++i) {
        std::string g = i < got.size() ? got[i] : "<missing>";
        std::string w = i < want.size() ? want[i] : "<missing>";
        if (g != w) return "line " + std::to_string(i + 1) + ": got [" + g + "] want [" + w + "]";
    }
    return "";
}

TEST(Avm1Corpus, TracesMatchTheReferencePlayer) {
    std::vector<CorpusCase> cases = readCases();
    ASSERT_GT(cases.size(), 50u) << "corpus not found under " << KESTREL_CORPUS_DIR;
    size_t passed = 0;
    std::vector<std::string> regressions, newlyPassing;
    for (const CorpusCase& c : cases) {
        std::string dir = std::string(KESTREL_CORPUS_DIR) + "/avm1/" + c.name;
        CorpusRun run = runCorpusMovie(dir + "/test.swf", c.frames);
        std::vector<std::string> want = readExpectedLines(dir + "/output.txt");
        bool ok = run.loaded && run.lines == want;
        bool known = kKnownFailures.count(c.name) > 0;
        if (ok) ++passed;
        if (ok && known) newlyPassing.push_back(c.name);
        if (!ok && !known) regressions.push_back(c.name + " (" + firstDifference(run.lines, want) + ")");
        if (const char* dump = std::getenv("KESTREL_AVM1_CORPUS_DUMP"); dump && c.name == dump) {
            size_t n = std::max(run.lines.size(), want.size());
            for (size_t i = 0; i < n; ++i) {
                std::string g = i < run.lines.size() ? run.lines[i] : "<missing>";
                std::string w = i < want.size() ? want[i] : "<missing>";
                std::printf("%s %s\n      want %s\n", g == w ? "  " : "XX", g.c_str(), w.c_str());
            }
        }
        if (std::getenv("KESTREL_AVM1_CORPUS_VERBOSE"))
            std::printf("%s %s %s\n", ok ? "PASS" : "FAIL", c.name.c_str(),
                        ok ? "" : firstDifference(run.lines, want).c_str());
    }
    std::printf("AVM1 corpus: %zu of %zu cases trace exactly\n", passed, cases.size());
    for (const auto& n : newlyPassing) std::printf("now passing (remove from known failures): %s\n", n.c_str());
    for (const auto& r : regressions) ADD_FAILURE() << "regression: " << r;
}

}  // namespace
}  // namespace kestrel::avm1::test
