// The AVM1 corpus as the tests see it: the cases of a set with the frames each runs,
// and the cases known to fail, shared by every harness that plays the corpus.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace kestrel::corpus {

struct CorpusCase {
    std::string name;
    int frames = 1;
};

// The corpus folder (ends in '/').
std::string CorpusRoot();

// The cases of one set ("avm1", "avm1-second") from its CASES.tsv; empty when missing.
std::vector<CorpusCase> ReadCorpusCases(const std::string& set);

// "SET/CASE" names listed in tests/support/corpus_known_failures.txt.
std::set<std::string> ReadKnownFailures();

// The whole file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// KESTREL_CORPUS_OUT names a folder where every failing case's trace is written as
// SET-CASE.txt, to compare with the expected output while working on it.
void KeepTraceOfFailure(const std::string& set, const std::string& name, const std::string& actual);

// What one harness saw of one set.
struct SetOutcome {
    std::vector<std::string> passed, failed;
    std::vector<std::string> fixed;  // passed, yet on the known failures
};

// Prints "N of M cases pass", the lists, and the cases to take off the known failures,
// each line beginning with `tag`.
void PrintSetOutcome(const std::string& tag, const SetOutcome& outcome);

}  // namespace kestrel::corpus
