// Owns every script object of a Vm and frees the unreachable ones (mark and sweep).
#pragma once

#include <memory>
#include <vector>

#include "player/avm1/object.h"

namespace kestrel::avm1 {

class Heap {
  public:
    Heap() = default;
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    Object* allocate(ObjectKind kind);
    // Marks from the roots the callback reports, then frees every unmarked object.
    template <typename MarkRoots>
    void collect(MarkRoots markRoots);
    size_t size() const { return objects_.size(); }
    // Objects allocated since the last collection (a hint for when to collect).
    size_t allocatedSinceCollect() const { return allocatedSinceCollect_; }

  private:
    class TracingMarker;
    void sweep();
    std::vector<Object*> objects_;  // owned
    size_t allocatedSinceCollect_ = 0;
    friend class TracingMarker;
};

// Marks iteratively so that long prototype or list chains cannot overflow the C++ stack.
class Heap::TracingMarker : public Marker {
  public:
    using Marker::mark;
    void mark(Object* object) override {
        if (object && !object->marked()) {
            object->setMarked(true);
            pending_.push_back(object);
        }
    }
    void drain();

  private:
    std::vector<Object*> pending_;
};

template <typename MarkRoots>
void Heap::collect(MarkRoots markRoots) {
    TracingMarker marker;
    markRoots(marker);
    marker.drain();
    sweep();
}

}  // namespace kestrel::avm1
