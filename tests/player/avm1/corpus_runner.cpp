#include "corpus_runner.h"

#include <fstream>
#include <iterator>

#include "avm1/vm.h"
#include "corpus_movie.h"

namespace kestrel::avm1::test {

namespace {

// A clip of the test player: the sprite it plays, where it is and whether it plays.
class ClipData : public NativeData {
public:
    std::string name;
    Object* parent = nullptr;  // not owned (heap)
    const CorpusSprite* sprite = nullptr;
    int frame = -1;  // last frame run
    bool playing = true;
    std::vector<std::pair<std::string, Object*>> children;

    const char* typeOfName() const override { return "movieclip"; }
    void markReferences(Marker& m) override {
        m.mark(parent);
        for (auto& c : children) m.mark(c.second);
    }
    bool lookupDynamic(std::string_view n, bool cs, Value& out) override {
        for (auto& c : children) {
            bool same = c.first.size() == n.size();
            for (size_t i = 0; same && i < n.size(); ++i)
                same = cs ? c.first[i] == n[i] : std::tolower(static_cast<unsigned char>(c.first[i])) ==
                                                     std::tolower(static_cast<unsigned char>(n[i]));
            if (same) {
                out = Value(c.second);
                return true;
            }
        }
        return false;
    }
};

ClipData* clipOf(Object* o) { return o ? dynamic_cast<ClipData*>(o->nativeData()) : nullptr; }

// Just enough of a player for the corpus: a root clip, sprites placed on the root timeline,
// their frame scripts, stop and play.
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
    Object* parentOf(Object* clip) override {
        ClipData* c = clipOf(clip);
        return c ? c->parent : nullptr;
    }
    Object* level(int n) override { return n == 0 ? root : nullptr; }
    std::optional<std::string> targetPathOf(Object* o) override {
        ClipData* c = clipOf(o);
        if (!c) return std::nullopt;
        if (!c->parent) return std::string("_level0");
        auto parent = targetPathOf(c->parent);
        return (parent ? *parent : std::string("_level0")) + "." + c->name;
    }
    void stop(Object* clip) override {
        if (ClipData* c = clipOf(clip)) c->playing = false;
    }
    void play(Object* clip) override {
        if (ClipData* c = clipOf(clip)) c->playing = true;
    }
};

std::string slashPath(CorpusHost& host, Object* clip) {
    ClipData* c = clipOf(clip);
    if (!c || !c->parent) return "/";
    std::string parent = slashPath(host, c->parent);
    return (parent == "/" ? "" : parent) + "/" + c->name;
}

Object* makeClip(Vm& vm, CorpusHost& host, Object* parent, std::string name, const CorpusSprite* sprite) {
    auto data = std::make_unique<ClipData>();
    ClipData* raw = data.get();
    raw->name = std::move(name);
    raw->parent = parent;
    raw->sprite = sprite;
    Object* clip = vm.newHostObject(nullptr, std::move(data));
    clip->defineNative("_name", [](Vm&, Object& self) { return Value(clipOf(&self)->name); }, nullptr);
    clip->defineNative("_parent", [](Vm&, Object& self) {
        Object* p = clipOf(&self)->parent;
        return p ? Value(p) : Value();
    }, nullptr);
    clip->defineNative("_target", [&host](Vm&, Object& self) { return Value(slashPath(host, &self)); }, nullptr);
    if (ClipData* p = clipOf(parent)) p->children.emplace_back(raw->name, clip);
    return clip;
}

void runFrame(Vm& vm, const CorpusFrame& frame, const ExecutionContext& context) {
    for (const auto& block : frame.initActions) {
        if (vm.quitRequested()) return;
        vm.run(block, context);
    }
    for (const auto& block : frame.actions) {
        if (vm.quitRequested()) return;
        vm.run(block, context);
    }
}

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
    host.root = makeClip(vm, host, nullptr, "", nullptr);
    vm.addRoot(host.root);
    std::vector<Object*> clips;
    int instances = 0;
    ExecutionContext context;
    context.swfVersion = movie->version;
    for (int f = 0; f < frames && f < static_cast<int>(movie->frames.size()) && !vm.quitRequested(); ++f) {
        const CorpusFrame& frame = movie->frames[static_cast<size_t>(f)];
        // A frame's placements happen before its scripts run.
        for (const CorpusPlacement& p : frame.placements) {
            const CorpusSprite* sprite = movie->sprite(p.characterId);
            if (!sprite) {
                // Named buttons and text fields exist for scripts as plain objects.
                if (!p.name.empty()) {
                    ++instances;
                    Object* o = vm.newObject();
                    if (ClipData* r = clipOf(host.root)) r->children.emplace_back(p.name, o);
                }
                continue;
            }
            ++instances;
            std::string name = p.name.empty() ? "instance" + std::to_string(instances) : p.name;
            Object* clip = makeClip(vm, host, host.root, name, sprite);
            vm.addRoot(clip);
            clips.push_back(clip);
        }
        context.target = host.root;
        runFrame(vm, frame, context);
        for (Object* clip : clips) {
            ClipData* c = clipOf(clip);
            if (c->frame >= 0 && !c->playing) continue;
            int next = c->frame + 1;
            if (next >= static_cast<int>(c->sprite->frames.size())) next = 0;
            if (c->sprite->frames.empty()) continue;
            c->frame = next;
            context.target = clip;
            runFrame(vm, c->sprite->frames[static_cast<size_t>(next)], context);
        }
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
