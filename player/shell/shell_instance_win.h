// One windowless plug-in instance: the playing movie (MoviePlayer), the drawable the
// host gave it, its streams, its scriptable object and its heartbeat window. Every
// NPP_ call for an instance lands here, on the host's thread.
//
// The host may re-enter us from inside our own calls (a movie call made while the
// movie calls the host) and may even destroy the instance there; the instance then
// stays alive until the outermost call has returned (see CallScope).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/npapi/npapi_abi.h"
#include "player/core/display_options.h"
#include "player/runtime/movie_player.h"
#include "player/shell/external_bridge.h"
#include "player/shell/frame_painter_win.h"
#include "player/shell/network_bridge.h"
#include "player/shell/placeholder_window_win.h"

namespace kestrel::shell {

class ShellInstance final : private PlaceholderListener {
  public:
    ShellInstance(NPP npp, std::vector<std::pair<std::string, std::string>> parameters);
    ~ShellInstance();
    ShellInstance(const ShellInstance&) = delete;
    ShellInstance& operator=(const ShellInstance&) = delete;

    // NPP_Destroy: deletes now, or once the outermost call into us has returned.
    static void Destroy(ShellInstance* instance);

    NPError setWindow(const NPWindow* window);
    NPError newStream(NPStream* stream, uint16_t* streamType);
    int32_t writeReady(NPStream* stream);
    int32_t write(NPStream* stream, int32_t offset, int32_t length, const void* buffer);
    NPError destroyStream(NPStream* stream, NPReason reason);
    void streamAsFile(NPStream* stream, const char* fileName);
    void urlNotify(void* notifyData, NPReason reason);
    int16_t handleEvent(const NPEvent& event);
    // Our scriptable object, retained for the caller; null when the browser cannot make one.
    NPObject* scriptableObject();
    // The browser invoked a name on our scriptable object.
    bool invoke(NPIdentifier name, const NPVariant* args, uint32_t count, NPVariant* result);
    bool hasCallback(NPIdentifier name);

    // Keeps the instance alive (and its NPP in use) for the scope of one call into us.
    class CallScope {
      public:
        explicit CallScope(ShellInstance& instance) : instance_(instance) {
            ++instance_.callDepth_;
        }
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

      private:
        ShellInstance& instance_;
    };

  private:
    enum class StreamKind : uintptr_t { Ignored = 0, Movie = 1, Request = 2 };

    // PlaceholderListener
    void heartbeat() override;
    void wake() override;

    void advanceClock();
    void movieLoaded();
    void paint(HDC dc);
    void mouseEvent(UINT message, LPARAM position);
    void keyEvent(UINT message, WPARAM key);
    void requestRepaint();
    // Once the movie asked to quit (or played the frames a test allowed), asks the
    // page to end through fscommand("quit").
    void quitWhenDone();
    UINT timerInterval() const;
    std::string nameOf(NPIdentifier identifier) const;
    static void WakeSoon(void* context);

    NPP npp_;  // not owned: the host's instance structure, null once destroyed
    player::DisplayOptions options_;
    runtime::MoviePlayer player_;
    ExternalBridge external_;
    NetworkBridge network_;
    PlaceholderWindow placeholder_;
    FramePainter painter_;
    NPObject* scriptable_ = nullptr;  // our own reference
    NPWindow window_{};
    bool hasWindow_ = false;
    bool movieStreamSeen_ = false;
    bool quitSent_ = false;
    DWORD lastTickMs_ = 0;
    int callDepth_ = 0;
    bool destroyPending_ = false;
};

// Library shutdown: what the instances shared.
void ShutdownShell();

}  // namespace kestrel::shell
