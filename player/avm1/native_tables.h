// Flash's numbered built-in functions: ASnative(table, index) answers one, and
// ASSetNative / ASSetNativeAccessor install a run of them on an object by a list of names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/avm1/vm.h"

namespace kestrel::avm1 {

// One entry of a name list such as "abs,6min,8max": the name and the version flags its
// prefix asks for. An empty entry still takes its place in the numbering.
struct NativeName {
    std::string name;
    uint16_t flags = 0;
};

// Splits a comma-separated list. A leading '6', '7', '8' or '9' makes the name visible from
// that version on; a leading '1' starts a two-digit version ("10" for version 10) and is
// dropped whatever follows it. Other characters, blanks included, belong to the name.
std::vector<NativeName> ParseNativeNames(std::string_view list);

// Numbers the methods `names` of `owner` (already installed on it) from firstIndex on in
// `table`; names the owner does not have are skipped, keeping their numbers.
void RegisterNativeMethods(Vm& vm, Object* owner, int table, int firstIndex,
                           std::string_view names);

// What ASSetNative and ASSetNativeAccessor do, for classes built from their tables. The
// accessor form takes two numbers per name, the getter's and then the setter's.
void SetNativeMethods(Vm& vm, Object& target, int table, int firstIndex, std::string_view names);
void SetNativeAccessors(Vm& vm, Object& target, int table, int firstIndex, std::string_view names);

// Numbers the core classes' methods and adds ASnative, ASSetNative and ASSetNativeAccessor.
void installNativeTables(Vm& vm);

}  // namespace kestrel::avm1
