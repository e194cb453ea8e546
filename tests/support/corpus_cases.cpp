#include "tests/support/corpus_cases.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace kestrel::corpus {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

int FramesOf(const std::string& text) {
    if (text.empty()) return 0;
    return std::atoi(text.c_str());
}

}  // namespace

std::string CorpusRoot() {
    return std::string(KESTREL_CORPUS_DIR) + "/";
}

std::vector<CorpusCase> ReadCorpusCases(const std::string& set) {
    std::vector<CorpusCase> cases;
    std::ifstream in(CorpusRoot() + set + "/CASES.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f = SplitTabs(line);
        if (f.size() < 6 || f[0].empty()) continue;
        CorpusCase c;
        c.name = f[0];
        // num_frames N runs N frames; num_ticks N is N frames too (one tick per frame).
        int frames = FramesOf(f[4]);
        if (frames == 0) frames = FramesOf(f[5]);
        c.frames = std::max(1, frames);
        cases.push_back(c);
    }
    return cases;
}

std::set<std::string> ReadKnownFailures() {
    std::set<std::string> names;
    std::ifstream in(std::string(KESTREL_SOURCE_DIR) + "/tests/support/corpus_known_failures.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        names.insert(line);
    }
    return names;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void KeepTraceOfFailure(const std::string& set, const std::string& name,
                        const std::string& actual) {
    const char* folder = std::getenv("KESTREL_CORPUS_OUT");
    if (!folder || !*folder) return;
    std::ofstream(std::string(folder) + "/" + set + "-" + name + ".txt", std::ios::binary)
        << actual;
}

void PrintSetOutcome(const std::string& tag, const SetOutcome& outcome) {
    const size_t total = outcome.passed.size() + outcome.failed.size();
    std::cout << tag << outcome.passed.size() << " of " << total << " cases pass\n";
    std::cout << tag << "passing:";
    for (const auto& n : outcome.passed) std::cout << ' ' << n;
    std::cout << '\n' << tag << "failing:";
    for (const auto& n : outcome.failed) std::cout << ' ' << n;
    std::cout << '\n';
    for (const auto& n : outcome.fixed)
        std::cout << tag << n << " passes now: take it off the known failures\n";
    if (outcome.passed.size() * 10 < total * 9) std::cout << tag << "below the 90% goal\n";
}

}  // namespace kestrel::corpus
