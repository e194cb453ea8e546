// How fast the engine runs a counting loop: `i = 0; while (i < n) i = i + 1;` assembled by
// hand, once with a timeline variable and once with a register (what compilers emit inside
// DefineFunction2). The C++ loop beside it gives the ratio, printed at the end of the run:
// how many times more loop iterations per second C++ makes than each script loop.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/avm1/vm.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace swf;

void action(Bytes& b, uint8_t code, const Bytes& payload = {}) {
    b.push_back(code);
    if (code >= kActionHasOperands) {
        b.push_back(static_cast<uint8_t>(payload.size()));
        b.push_back(static_cast<uint8_t>(payload.size() >> 8));
        for (uint8_t byte : payload) b.push_back(byte);
    }
}

Bytes pushString(const char* s) {
    Bytes p;
    p.push_back(kPushString);
    for (const char* c = s; *c; ++c) p.push_back(static_cast<uint8_t>(*c));
    p.push_back(0);
    return p;
}

Bytes pushInt(int32_t v) {
    Bytes p;
    p.push_back(kPushInteger);
    for (int i = 0; i < 4; ++i)
        p.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return p;
}

Bytes branch(int16_t offset) {
    return {static_cast<uint8_t>(offset), static_cast<uint8_t>(static_cast<uint16_t>(offset) >> 8)};
}

// Fills in a Jump/If offset once the target is known.
void patch(Bytes& b, size_t actionStart, size_t target) {
    int16_t offset =
        static_cast<int16_t>(static_cast<long>(target) - static_cast<long>(actionStart + 5));
    b[actionStart + 3] = static_cast<uint8_t>(offset);
    b[actionStart + 4] = static_cast<uint8_t>(static_cast<uint16_t>(offset) >> 8);
}

// 13 actions per iteration.
Bytes variableLoop(int32_t n) {
    Bytes b;
    Bytes p = pushString("i");
    Bytes zero = pushInt(0);
    for (uint8_t byte : zero) p.push_back(byte);
    action(b, kActionPush, p);
    action(b, kActionSetVariable);
    size_t top = b.size();
    action(b, kActionPush, pushString("i"));
    action(b, kActionGetVariable);
    action(b, kActionPush, pushInt(n));
    action(b, kActionLess2);
    action(b, kActionNot);
    size_t exitIf = b.size();
    action(b, kActionIf, branch(0));
    action(b, kActionPush, pushString("i"));
    action(b, kActionPush, pushString("i"));
    action(b, kActionGetVariable);
    action(b, kActionPush, pushInt(1));
    action(b, kActionAdd2);
    action(b, kActionSetVariable);
    size_t back = b.size();
    action(b, kActionJump, branch(0));
    patch(b, back, top);
    patch(b, exitIf, b.size());
    b.push_back(kActionEnd);
    return b;
}

// 10 actions per iteration: the counter lives in register 1.
Bytes registerLoop(int32_t n) {
    Bytes b;
    action(b, kActionPush, pushInt(0));
    action(b, kActionStoreRegister, {1});
    action(b, kActionPop);
    size_t top = b.size();
    action(b, kActionPush, {kPushRegister, 1});
    action(b, kActionPush, pushInt(n));
    action(b, kActionLess2);
    action(b, kActionNot);
    size_t exitIf = b.size();
    action(b, kActionIf, branch(0));
    action(b, kActionPush, {kPushRegister, 1});
    action(b, kActionIncrement);
    action(b, kActionStoreRegister, {1});
    action(b, kActionPop);
    size_t back = b.size();
    action(b, kActionJump, branch(0));
    patch(b, back, top);
    patch(b, exitIf, b.size());
    b.push_back(kActionEnd);
    return b;
}

void runLoop(benchmark::State& state, const Bytes& code, int actionsPerIteration, int32_t n) {
    kestrel::avm1::VmLimits limits;
    limits.actionBudget = 1'000'000'000;
    kestrel::avm1::Vm vm(nullptr, limits);
    kestrel::avm1::Object* root = vm.newObject();
    vm.addRoot(root);
    kestrel::avm1::ExecutionContext context;
    context.target = root;
    auto shared = std::make_shared<const Bytes>(code);
    for (auto _ : state) {
        auto r = vm.run(shared, context);
        if (!r.ok()) state.SkipWithError("the loop did not complete");
    }
    state.counters["actions/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n * actionsPerIteration,
                           benchmark::Counter::kIsRate);
    state.counters["iterations/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                        benchmark::Counter::kIsRate);
}

constexpr int32_t kIterations = 10'000'000;

void BM_VariableLoop(benchmark::State& state) {
    runLoop(state, variableLoop(kIterations), 13, kIterations);
}
void BM_RegisterLoop(benchmark::State& state) {
    runLoop(state, registerLoop(kIterations), 10, kIterations);
}

// The counter is volatile so that the compiler can neither drop the loop nor work out its
// end: every iteration loads, compares, adds and stores, as the script does with its
// variable.
void BM_CppLoop(benchmark::State& state) {
    for (auto _ : state) {
        volatile double i = 0;
        while (i < kIterations) i = i + 1;
    }
    state.counters["iterations/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kIterations, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_VariableLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegisterLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CppLoop)->Unit(benchmark::kMillisecond);

// Prints the usual table, then each script loop's ratio to the C++ loop of the same run
// (the median when repetitions are asked for).
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("iterations/s");
            if (it == run.counters.end()) continue;
            const std::string& name = run.run_name.function_name;
            if (run.aggregate_name.empty()) single_[name] = it->second;
            if (run.aggregate_name == "median") median_[name] = it->second;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto rate = [&](const std::string& name) {
            return median_.count(name) ? median_[name] : single_.count(name) ? single_[name] : 0;
        };
        double cpp = rate("BM_CppLoop");
        if (cpp <= 0) return;
        std::printf("\nBM_CppLoop: %.1fM iterations/s\n", cpp / 1e6);
        for (const auto& [name, unused] : single_) {
            if (name == "BM_CppLoop" || rate(name) <= 0) continue;
            std::printf("%s: %.2fM iterations/s, %.1f times slower than C++\n", name.c_str(),
                        rate(name) / 1e6, cpp / rate(name));
        }
    }

  private:
    std::map<std::string, double> single_;
    std::map<std::string, double> median_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
