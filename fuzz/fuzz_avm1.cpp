// Runs arbitrary bytes as a DoAction block: the engine must stop cleanly on every input.
#include <cstddef>
#include <cstdint>

#include "player/avm1/vm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel::avm1;
    if (size < 1) return 0;
    VmLimits limits;
    // Small limits keep each input fast while still reaching every limit path.
    limits.actionBudget = 20000;
    limits.maxStringLength = 1 << 16;
    limits.maxArrayLength = 1 << 12;
    limits.maxStackSize = 4096;
    Vm vm(nullptr, limits);
    Object* root = vm.newObject();
    vm.addRoot(root);
    ExecutionContext context;
    // The first byte picks the SWF version, so every version's rules are exercised.
    context.swfVersion = 4 + data[0] % 5;
    context.target = root;
    vm.run(data + 1, size - 1, context);
    vm.runDueIntervals(1e9);
    vm.collect();
    return 0;
}
