#include "player/avm1/array_storage.h"

#include <algorithm>
#include <string>

#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

// Elements may be written this far past the end before they are kept as properties, so a
// single far index does not allocate the slots below it.
constexpr size_t kDenseGrowth = 1u << 16;

int32_t Wrapped(uint32_t value) {
    return static_cast<int32_t>(value);
}

// Records that the element at index (an empty slot until now) was created.
void NoteCreated(Object& array, size_t index) {
    auto& order = array.elementOrder();
    const auto& elements = array.elements();
    if (order.empty()) {
        if (index + 1 == elements.size()) return;  // the last one: index order still holds
        for (size_t i = 0; i < elements.size(); ++i)
            if (i != index && !elements[i].isHole()) order.push_back(static_cast<uint32_t>(i));
    }
    order.push_back(static_cast<uint32_t>(index));
}

}  // namespace

bool ReadElementIndex(std::string_view name, ElementIndex& out) {
    size_t i = 0;
    bool negative = !name.empty() && name[0] == '-';
    if (negative) ++i;
    if (i == name.size()) return false;
    uint32_t value = 0;
    for (; i < name.size(); ++i) {
        char c = name[i];
        if (c < '0' || c > '9') return false;
        value = value * 10u + static_cast<uint32_t>(c - '0');
    }
    out.index = Wrapped(negative ? 0u - value : value);
    out.plain = !negative && out.index >= 0 && name == std::to_string(out.index);
    return true;
}

int32_t ArrayLength(const Object& array) {
    if (array.lengthBeyondElements()) return *array.lengthBeyondElements();
    return static_cast<int32_t>(array.elements().size());
}

void SetArrayLength(Object& array, int32_t length, size_t denseLimit) {
    int32_t old = ArrayLength(array);
    int32_t kept = std::max(length, 0);
    if (kept < old) {
        // Elements kept as properties in the removed range go too.
        auto& props = array.properties();
        size_t before = props.size();
        props.erase(std::remove_if(props.begin(), props.end(),
                                   [&](const Property& p) {
                                       ElementIndex e;
                                       return ReadElementIndex(p.name, e) && e.plain &&
                                              e.index >= kept && e.index < old;
                                   }),
                    props.end());
        if (props.size() != before) array.propertiesChanged();
    }
    auto& elements = array.elements();
    size_t wanted = static_cast<size_t>(kept);
    if (wanted < elements.size()) {
        elements.resize(wanted);
        auto& order = array.elementOrder();
        order.erase(
            std::remove_if(order.begin(), order.end(), [&](uint32_t i) { return i >= wanted; }),
            order.end());
    } else if (wanted <= std::min(denseLimit, elements.size() + kDenseGrowth)) {
        elements.resize(wanted, Value::hole());
    }
    if (length >= 0 && static_cast<size_t>(length) == elements.size())
        array.setLengthBeyondElements(std::nullopt);
    else
        array.setLengthBeyondElements(length);
}

bool RemoveArrayElement(Object& array, size_t index) {
    auto& elements = array.elements();
    if (index >= elements.size() || elements[index].isHole()) return false;
    elements[index] = Value::hole();
    auto& order = array.elementOrder();
    order.erase(std::remove(order.begin(), order.end(), static_cast<uint32_t>(index)), order.end());
    return true;
}

std::vector<size_t> ArrayElementsByAge(const Object& array) {
    const auto& elements = array.elements();
    std::vector<size_t> out;
    if (array.elementOrder().empty()) {
        for (size_t i = 0; i < elements.size(); ++i)
            if (!elements[i].isHole()) out.push_back(i);
        return out;
    }
    for (uint32_t i : array.elementOrder())
        if (i < elements.size() && !elements[i].isHole()) out.push_back(i);
    return out;
}

void ArrayElementsRearranged(Object& array) {
    array.elementOrder().clear();
    array.setLengthBeyondElements(std::nullopt);
}

bool AssignArrayElement(Object& array, std::string_view name, const Value& value,
                        size_t denseLimit) {
    ElementIndex e;
    if (!ReadElementIndex(name, e)) return false;
    if (e.index >= ArrayLength(array))
        SetArrayLength(array, Wrapped(static_cast<uint32_t>(e.index) + 1u), denseLimit);
    if (!e.plain) return false;
    auto& elements = array.elements();
    size_t index = static_cast<size_t>(e.index);
    if (index >= elements.size()) {
        // Below a length kept beyond the elements: grow them if the index is near.
        if (index >= denseLimit || index > elements.size() + kDenseGrowth) return false;
        elements.resize(index + 1, Value::hole());
        const auto& beyond = array.lengthBeyondElements();
        if (beyond && *beyond == static_cast<int32_t>(elements.size()))
            array.setLengthBeyondElements(std::nullopt);
    }
    if (elements[index].isHole()) NoteCreated(array, index);
    elements[index] = value;
    // The element may have been kept as a property while it was too far.
    if (!array.properties().empty()) array.remove(name, true);
    return true;
}

}  // namespace kestrel::avm1
