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

}  // namespace kestrel::corpus
