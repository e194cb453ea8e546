#include "corpus_runner.h"

#include <fstream>
#include <iterator>

#include "avm1/vm.h"
#include "corpus_movie.h"

namespace kestrel::avm1::test {

namespace {

// Just enough of a player for scripts that do not need the display list: one root clip.
class CorpusHost : public Host {
public:
    std::vector<std::string> lines;
    Object* root = nullptr;

    void trace(std::string_view text) override {
        std::string line;
        for (char c : text) {
            if (c == '\r' || c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        lines.push_back(line);
    }
    Object* rootOf(Object*) override { return root; }
    Object* level(int n) override { return n == 0 ? root : nullptr; }
    std::optional<std::string> targetPathOf(Object* o) override {
        if (o == root) return std::string("_level0");
        return std::nullopt;
    }
};

class RootClip : public NativeData {
public:
    const char* typeOfName() const override { return "movieclip"; }
};

}  // namespace

CorpusRun runCorpusMovie(const std::string& swfPath, int frames) {
    CorpusRun run;
    std::ifstream in(swfPath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto movie = readCorpusMovie(bytes);
    if (!movie) return run;
    run.loaded = true;
    CorpusHost host;
    Vm vm(&host);
    vm.setSwfVersion(movie->version);
    host.root = vm.newHostObject(nullptr, std::make_unique<RootClip>());
    vm.addRoot(host.root);
    ExecutionContext context;
    context.swfVersion = movie->version;
    context.target = host.root;
    for (int f = 0; f < frames && f < static_cast<int>(movie->frames.size()); ++f) {
        const CorpusFrame& frame = movie->frames[static_cast<size_t>(f)];
        for (const auto& block : frame.initActions) {
            vm.run(block, context);
            if (vm.quitRequested()) break;
        }
        for (const auto& block : frame.actions) {
            if (vm.quitRequested()) break;
            vm.run(block, context);
        }
        if (vm.quitRequested()) break;
        vm.collect();
    }
    run.lines = std::move(host.lines);
    return run;
}

std::vector<std::string> readExpectedLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace kestrel::avm1::test
