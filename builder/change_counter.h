// The process-wide count of real changes to the project. Every setter that
// stores a different value counts one; the undo history resets the count
// before an edit and reads it afterwards to learn whether anything changed.
// It is not an unsaved-changes flag and is never saved.
#pragma once

namespace kestrel {

class ChangeCounter {
  public:
    static void Count() { ++count_; }
    static void Reset() { count_ = 0; }
    // The count, set back to 0 when `reset` is true.
    static int Read(bool reset = false) {
        int count = count_;
        if (reset) count_ = 0;
        return count;
    }

  private:
    // The builder edits its project on one thread.
    static inline int count_ = 0;
};

}  // namespace kestrel
