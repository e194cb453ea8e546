// The player's heartbeat window: beats reach the listener, and a listener that
// throws (a script that runs out of memory) never takes the process down.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "player/shell/placeholder_window_win.h"

namespace kestrel::shell {
namespace {

class CountingListener : public PlaceholderListener {
  public:
    explicit CountingListener(bool throws) : throws_(throws) {}
    void heartbeat() override {
        ++beats;
        if (throws_) throw std::runtime_error("script failed");
    }
    void wake() override {
        ++wakes;
        if (throws_) throw std::bad_alloc();
    }
    int beats = 0;
    int wakes = 0;

  private:
    bool throws_;
};

// Runs the thread's queue until it is empty.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

TEST(PlaceholderWindow, BeatsAndWakesReachTheListenerEvenWhenItThrows) {
    for (bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "throwing listener" : "quiet listener");
        CountingListener listener(throws);
        PlaceholderWindow window;
        ASSERT_TRUE(window.create(&listener, 60000));
        HWND handle = window.handle();

        EXPECT_EQ(SendMessageA(handle, WM_TIMER, PlaceholderWindow::kTimerId, 0), 0);
        EXPECT_EQ(SendMessageA(handle, WM_TIMER, PlaceholderWindow::kTimerId, 0), 0);
        window.postWake();
        Pump();
        EXPECT_EQ(listener.beats, 2);
        EXPECT_EQ(listener.wakes, 1);
        EXPECT_TRUE(IsWindow(handle));

        window.destroy();
        EXPECT_FALSE(IsWindow(handle));
    }
}

}  // namespace
}  // namespace kestrel::shell
