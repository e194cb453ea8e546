// Runs a corpus movie's frames through the engine with a minimal host and collects trace().
#pragma once

#include <string>
#include <vector>

namespace kestrel::avm1::test {

struct CorpusRun {
    bool loaded = false;
    std::vector<std::string> lines;  // traced lines, "\r" splitting lines as the player logs it
};

CorpusRun runCorpusMovie(const std::string& swfPath, int frames);

// Lines of an expected output file (LF endings, trailing LF).
std::vector<std::string> readExpectedLines(const std::string& path);

}  // namespace kestrel::avm1::test
