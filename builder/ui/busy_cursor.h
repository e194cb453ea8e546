// Shows the wait cursor for one scope and puts the previous cursor back.
#pragma once

#include <windows.h>

namespace kestrel {

class BusyCursor {
  public:
    BusyCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    HCURSOR previous_;  // shared system cursor: not owned
};

}  // namespace kestrel
