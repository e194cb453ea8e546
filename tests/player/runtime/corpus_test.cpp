// The AVM1 corpus played through the whole runtime: each case runs for the frames its
// table gives and its trace output must match what the reference player wrote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "player/runtime/movie_player.h"

namespace kestrel::runtime {
namespace {

const std::string kCorpusRoot = std::string(KESTREL_CORPUS_DIR) + "/";

// One folder of cases. A case failing outside its known failures is a regression.
struct CorpusSet {
    std::string folder;
    size_t minimumCases = 0;
    std::set<std::string> knownFailures;
    // Need a host and have harness-written lines in their output; run separately.
    std::set<std::string> hostDependent;
};

struct CorpusCase {
    std::string name;
    int frames = 1;
};

const CorpusSet kFirstSet = {
    "avm1",
    60,
    {},
    {"external_interface"},
};

const CorpusSet kSecondSet = {
    "avm1-second",
    100,
    {
        "amf_swf6_case_insensitive_typed_objects",
        "amf_swf8_case_sensitive_typed_objects",
        "assetnative",
        "assetnative_ids",
        "assetnativeaccessor",
        "assetnativeaccessor_ids",
        "bitmap_data_draw_cliprect",
        "button_v5",
        "button_v6",
        "clone_sprite_edittext",
        "clone_sprite_edittext_dynamic",
        "edittext_html_align_swf7",
        "edittext_html_align_swf8",
        "edittext_leading",
        "edittext_scroll",
        "focus_remove",
        "focus_visibility_change",
        "issue_9885",
        "localconnection_top_level",
        "movieclip_in_removed_button",
        "selection_handlers",
        "tab_ordering_properties",
        "textsnapshot_available_text",
        "textsnapshot_props_swf5",
        "virtual_property_recursion_swf7",
    },
    {},
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

std::vector<CorpusCase> readCases(const std::string& folder) {
    std::vector<CorpusCase> cases;
    std::ifstream in(kCorpusRoot + folder + "/CASES.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> f = splitTabs(line);
        if (f.size() < 6 || f[0].empty()) continue;
        CorpusCase c;
        c.name = f[0];
        // num_frames N runs N frames; num_ticks N is N frames too (one tick per frame).
        if (!f[4].empty())
            c.frames = std::max(1, std::stoi(f[4]));
        else if (!f[5].empty())
            c.frames = std::max(1, std::stoi(f[5]));
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
std::string play(const std::string& folder, const CorpusCase& c, ExternalHost* external = nullptr) {
    std::string bytes = readFile(kCorpusRoot + folder + "/" + c.name + "/test.swf");
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

// KESTREL_CORPUS_OUT names a folder where every failing case's trace is written as
// SET-CASE.txt, to compare with the expected output while working on it.
void KeepTraceOfFailure(const std::string& set, const std::string& name,
                        const std::string& actual) {
    const char* folder = std::getenv("KESTREL_CORPUS_OUT");
    if (!folder || !*folder) return;
    std::ofstream(std::string(folder) + "/" + set + "-" + name + ".txt", std::ios::binary)
        << actual;
}

void PlayCorpusSet(const CorpusSet& set) {
    std::vector<CorpusCase> cases = readCases(set.folder);
    ASSERT_GT(cases.size(), set.minimumCases)
        << "corpus not found at " << kCorpusRoot << set.folder;
    std::vector<std::string> passed, failed, regressions, fixed;
    for (const CorpusCase& c : cases) {
        if (set.hostDependent.count(c.name)) continue;
        std::string expected = readFile(kCorpusRoot + set.folder + "/" + c.name + "/output.txt");
        std::string actual = play(set.folder, c);
        bool ok = actual == expected;
        (ok ? passed : failed).push_back(c.name);
        bool known = set.knownFailures.count(c.name) > 0;
        if (!ok && !known) {
            regressions.push_back(c.name);
            ADD_FAILURE() << set.folder << "/" << c.name << ": trace differs\n--- expected\n"
                          << expected.substr(0, 2000) << "\n--- actual\n"
                          << actual.substr(0, 2000);
        }
        if (ok && known) fixed.push_back(c.name);
        if (!ok) KeepTraceOfFailure(set.folder, c.name, actual);
    }
    const std::string tag = "[ " + set.folder + " ] ";
    size_t total = passed.size() + failed.size();
    std::cout << tag << passed.size() << " of " << total << " cases pass\n";
    std::cout << tag << "passing:";
    for (const auto& n : passed) std::cout << ' ' << n;
    std::cout << '\n' << tag << "failing:";
    for (const auto& n : failed) std::cout << ' ' << n;
    std::cout << '\n';
    for (const auto& n : fixed)
        std::cout << tag << n << " passes now: take it off the known failures\n";
    if (passed.size() * 10 < total * 9) std::cout << tag << "below the 90% goal\n";
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
