// How arrays keep their elements and length. An array's length is a signed 32-bit number.
// Elements 0..n-1 sit in order in Object::elements() (empty slots are holes); any other
// element ("-5", "01", "4294967296", or one too far past the end) is an ordinary property.
// Writing an element whose index (the name read as an integer modulo 2^32) is at or past
// the length makes the length that index plus one, wrapping at 2^31; lowering the length
// removes the elements from the new length up to the old one. for..in visits elements in
// the order they were created, which is index order unless they were written out of order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Object;

struct ElementIndex {
    int32_t index = 0;
    // Written the way the index prints ("7", not "07" or "-7"), so it may be kept in order.
    bool plain = false;
};

// Reads a name made of an optional '-' and decimal digits; false for any other name.
bool ReadElementIndex(std::string_view name, ElementIndex& out);

int32_t ArrayLength(const Object& array);
// Sets the length, removing the elements from the new length up to the old one.
// denseLimit bounds the elements kept in order.
void SetArrayLength(Object& array, int32_t length, size_t denseLimit);
// Assigns an element. Returns false when the name is not an element kept in order: the
// caller then stores it as a property (the length has been updated already).
bool AssignArrayElement(Object& array, std::string_view name, const Value& value,
                        size_t denseLimit);

// Empties an element's slot (delete).
bool RemoveArrayElement(Object& array, size_t index);
// The indices of the elements kept in order that exist, oldest first.
std::vector<size_t> ArrayElementsByAge(const Object& array);
// After a method rearranged the elements: their order is index order again and the length
// is theirs.
void ArrayElementsRearranged(Object& array);

}  // namespace kestrel::avm1
