#include "player/avm1/heap.h"

#include "player/avm1/function.h"

namespace kestrel::avm1 {

Heap::~Heap() {
    for (Object* o : objects_) delete o;
}

Object* Heap::allocate(ObjectKind kind) {
    auto* o = new Object(kind);
    objects_.push_back(o);
    ++allocatedSinceCollect_;
    return o;
}

void Heap::TracingMarker::drain() {
    while (!pending_.empty()) {
        Object* o = pending_.back();
        pending_.pop_back();
        mark(o->proto());
        for (const Property& p : o->properties()) {
            mark(p.value);
            mark(p.getter);
            mark(p.setter);
        }
        mark(o->primitive());
        for (const Value& v : o->elements()) mark(v);
        for (const Object::Watch& w : o->watches()) {
            mark(w.callback);
            mark(w.userData);
        }
        if (const auto& f = o->function()) {
            for (Object* s : f->scope) mark(s);
            mark(f->target);
        }
        if (NativeData* d = o->nativeData()) d->markReferences(*this);
    }
}

void Heap::sweep() {
    size_t kept = 0;
    for (Object* o : objects_) {
        if (o->marked()) {
            o->setMarked(false);
            objects_[kept++] = o;
        } else {
            delete o;
        }
    }
    objects_.resize(kept);
    allocatedSinceCollect_ = 0;
}

}  // namespace kestrel::avm1
