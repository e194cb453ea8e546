// The AVM1 corpus played through the whole runtime: each case runs for the frames its
// table gives and its trace output must match what the reference player wrote.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tests/support/corpus_cases.h"

namespace kestrel::runtime {
namespace {

using corpus::CorpusCase;
using corpus::CorpusRoot;
using corpus::ReadWholeFile;

// One folder of cases. A case failing outside the known failures is a regression.
struct CorpusSet {
    std::string folder;
    size_t minimumCases = 0;
    // Need a host and have harness-written lines in their output; run separately.
    std::set<std::string> hostDependent;
};

const CorpusSet kFirstSet = {"avm1", 60, {"external_interface"}};
const CorpusSet kSecondSet = {"avm1-second", 100, {}};

// The reference harness's browser: it answers no request and writes each one into the
// trace as it comes, in its own words.
class HarnessNetwork : public NetworkHost {
  public:
    explicit HarnessNetwork(std::string& out) : out_(out) {}
    bool requestUrl(const UrlRequest& request) override {
        out_ += "Navigator::fetch:\n  URL: " + request.url + "\n  Method: ";
        out_ += request.post ? "POST\n" : "GET\n";
        if (!request.post) return true;
        for (const auto& [name, value] : request.headers)
            if (name == "Content-Type") out_ += "  Mime-Type: " + value + "\n";
        static const char kHex[] = "0123456789ABCDEF";
        out_ += "  Body: [";
        for (size_t i = 0; i < request.body.size(); ++i) {
            auto b = static_cast<unsigned char>(request.body[i]);
            if (i) out_ += ", ";
            out_ += kHex[b >> 4];
            out_ += kHex[b & 15];
        }
        out_ += "]\n";
        return true;
    }

  private:
    std::string& out_;
};

// Runs one case; returns the trace text, one "\n" after every line.
std::string play(const std::string& folder, const CorpusCase& c, ExternalHost* external = nullptr) {
    std::string bytes = ReadWholeFile(CorpusRoot() + folder + "/" + c.name + "/test.swf");
    std::string out;
    HarnessNetwork network(out);
    MoviePlayer player;
    player.setNetworkHost(&network);
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

void PlayCorpusSet(const CorpusSet& set) {
    std::vector<CorpusCase> cases = corpus::ReadCorpusCases(set.folder);
    ASSERT_GT(cases.size(), set.minimumCases)
        << "corpus not found at " << CorpusRoot() << set.folder;
    const std::set<std::string> knownFailures = corpus::ReadKnownFailures();
    corpus::SetOutcome outcome;
    for (const CorpusCase& c : cases) {
        if (set.hostDependent.count(c.name)) continue;
        std::string expected =
            ReadWholeFile(CorpusRoot() + set.folder + "/" + c.name + "/output.txt");
        std::string actual = play(set.folder, c);
        bool ok = actual == expected;
        (ok ? outcome.passed : outcome.failed).push_back(c.name);
        bool known = knownFailures.count(set.folder + "/" + c.name) > 0;
        if (!ok && !known) {
            ADD_FAILURE() << set.folder << "/" << c.name << ": trace differs\n--- expected\n"
                          << expected.substr(0, 2000) << "\n--- actual\n"
                          << actual.substr(0, 2000);
        }
        if (ok && known) outcome.fixed.push_back(c.name);
        if (!ok) corpus::KeepTraceOfFailure(set.folder, c.name, actual);
    }
    corpus::PrintSetOutcome("[ " + set.folder + " ] ", outcome);
}

TEST(AvmCorpus, FirstSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kFirstSet);
}

TEST(AvmCorpus, SecondSetTracesMatchTheReferencePlayer) {
    PlayCorpusSet(kSecondSet);
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
    std::string actual = play(kFirstSet.folder, {"external_interface", 2}, &host);
    EXPECT_FALSE(host.calls.empty());
    std::cout << "[ corpus ] external_interface made " << host.calls.size() << " calls; traced "
              << std::count(actual.begin(), actual.end(), '\n') << " lines\n";
}

}  // namespace
}  // namespace kestrel::runtime
