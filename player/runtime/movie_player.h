// The playing movie with its scripts: joins the display list and timeline (player_core)
// to the ActionScript engine (player_avm1). One MoviePlayer per plug-in instance.
//
// Host sequence:
//   appendStreamBytes()... then completeStream()  -> frame 1 and its actions run here
//   tick(elapsed ms) from a timer (or advanceFrame() for one frame)
//   mouseMove/mouseDown/mouseUp (stage pixels), keyDown/keyUp
//   buildRenderList() to paint
// Every call happens on one thread; scripts may call back into the hosts.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/avm1/vm.h"
#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "player/core/timeline_hooks.h"
#include "player/runtime/network_host.h"
#include "player/runtime/stage_settings.h"
#include "player/runtime/trace_output.h"

namespace kestrel::runtime {

class ScriptClasses;
struct DisplayObjectData;

enum class LoadStatus { Waiting, Playing, Failed };

// The key code a button's keyPress condition uses: 1-19 for the special keys (arrows,
// home, end, insert, delete, backspace, enter, page up/down, tab, escape), else the
// character. 0 when the key has none.
int buttonKeyCode(int keyCode, int charCode);

class MoviePlayer : private avm1::Host, private player::TimelineHooks {
  public:
    MoviePlayer();
    ~MoviePlayer() override;
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // --- loading ---------------------------------------------------------------
    // Bytes of the movie stream as they arrive. Streams beyond kMaxSwfSize are refused.
    bool appendStreamBytes(const uint8_t* data, size_t size);
    // The stream is complete: parses the movie and runs its first frame before returning.
    bool completeStream();
    // Both at once.
    bool load(const uint8_t* data, size_t size);
    LoadStatus status() const { return status_; }
    player::SwfError loadError() const { return loadError_; }

    // --- time ------------------------------------------------------------------
    // Advances the clock: intervals fire and frames follow the frame rate. Returns the
    // number of frames played.
    int tick(double elapsedMs);
    // Plays exactly one frame (and runs intervals due at the current clock).
    void advanceFrame();
    double frameIntervalMs() const;
    double clockMs() const { return clockMs_; }
    // Plays frames 1 to `frames` only (0: no limit); then the clock and the timeline
    // stand still, intervals included. Set before loading.
    void setFrameLimit(int frames) { frameLimit_ = frames > 0 ? frames : 0; }
    // True once the last frame the limit allows has played.
    bool frameLimitReached() const { return frameLimit_ > 0 && framesPlayed_ >= frameLimit_; }

    // --- input ------------------------------------------------------------------
    // Stage coordinates in pixels (the shell maps the window into the stage).
    void mouseMove(double x, double y);
    void mouseDown(double x, double y);
    void mouseUp(double x, double y);
    // Flash key codes (Key.LEFT = 37 ...) and the character, 0 when none.
    void keyDown(int keyCode, int charCode);
    void keyUp(int keyCode, int charCode);
    // Mouse.hide()/show() state, for the shell's cursor.
    bool mouseHidden() const { return mouseHidden_; }

    // --- output -----------------------------------------------------------------
    void buildRenderList(player::RenderList& out) const;
    player::Stage* stage() { return stage_.get(); }
    const player::MovieDefinition* movie() const;
    // True after getURL("FSCommand:quit"): the movie stops playing.
    bool quitRequested() const;

    // --- the host's display ----------------------------------------------------------
    // Set by the host before loading; scripts change it through Stage and _quality.
    StageSettings& stageSettings() { return stageSettings_; }
    const StageSettings& stageSettings() const { return stageSettings_; }
    // The display area changed size (pixels). Under noScale the stage follows it and
    // Stage listeners hear onResize.
    void setDisplayArea(int width, int height);
    // Stage.width and Stage.height: the movie's size, or under noScale the display area.
    int stageWidth() const;
    int stageHeight() const;
    // Where the movie's stage lands in a window of this size, by the current settings.
    player::StageMapping stageMapping(double windowWidth, double windowHeight) const;

    // --- hosts ------------------------------------------------------------------
    TraceOutput& traceOutput() { return trace_; }
    // Not owned; may be null. Must outlive the player or be reset first.
    void setNetworkHost(NetworkHost* host) { network_ = host; }
    void setExternalHost(ExternalHost* host) { external_ = host; }

    // Data for a request made through NetworkHost::requestUrl.
    void completeUrlRequest(uint32_t id, const std::string& data);
    void failUrlRequest(uint32_t id);

    // A call into the movie: invokeXml is the invoke element the browser built
    // (<invoke name="f" ...><arguments>...</arguments></invoke>). Returns the callback's
    // result as an XML value form, or nullopt when the movie registered no such name.
    std::optional<std::string> invokeCallback(std::string_view invokeXml);
    // Same with script values already decoded.
    std::optional<avm1::Value> callCallback(std::string_view name,
                                            const std::vector<avm1::Value>& args);
    std::vector<std::string> registeredCallbacks();

    // --- scripting (tests and the runtime's own classes) -------------------------
    avm1::Vm& vm() { return *vm_; }
    // The script object of a display object (created with it); null when none.
    avm1::Object* scriptObjectOf(const player::DisplayObject& object) const;
    // The display object behind a clip, text field or button object; null when it was
    // removed or the object is no display object.
    player::DisplayObject* displayObjectOf(avm1::Object* object) const;
    // What scripts get when they reach `object` by name or as a _parent.
    avm1::Object* referenceTo(const player::DisplayObject& object) const;
    avm1::Object* rootObject() const;
    int swfVersion() const;
    // Runs queued timeline events and brings bound text fields up to date.
    void settle();

    // Pending network loads keyed by request id (used by XML/LoadVars/loadVariables).
    struct PendingLoad {
        enum Kind { Xml, LoadVars, Variables, Remoting } kind;
        avm1::Object* target = nullptr;  // kept alive while pending
    };
    // Sends a request; false when there is no host or it refused.
    bool startLoad(PendingLoad::Kind kind, avm1::Object* target, const std::string& url, bool post,
                   const std::string& body, const std::string& contentType);

    // Text fields with a bound variable read it after every script run.
    void refreshBoundTextFields();
    // A field's text changed by script: the bound variable follows.
    void textFieldChanged(player::EditText& field);
    // Brings a field with a bound variable up to date: a defined variable gives the field
    // its text (a timeline's variable always, another object's only when first bound); an
    // undefined one is first set from the field's text, unless that is empty.
    void syncBoundTextField(player::EditText& field);
    // A new variable name starts over from the field's text as defined.
    void textFieldRebound(player::EditText& field);

    void setMouseHidden(bool hidden) { mouseHidden_ = hidden; }
    bool keyIsDown(int code) const;
    int lastKeyCode() const { return lastKeyCode_; }
    int lastCharCode() const { return lastCharCode_; }

  private:
    std::string BoundFieldText(player::EditText& field, DisplayObjectData* data);
    // avm1::Host
    void trace(std::string_view text) override;
    void getUrl(std::string_view url, std::string_view target, int method,
                avm1::Object* clip) override;
    void play(avm1::Object* clip) override;
    void stop(avm1::Object* clip) override;
    void nextFrame(avm1::Object* clip) override;
    void prevFrame(avm1::Object* clip) override;
    void gotoFrame(avm1::Object* clip, int frame, bool andPlay) override;
    void gotoLabel(avm1::Object* clip, std::string_view label, bool andPlay) override;
    void callFrame(avm1::Vm& vm, avm1::Object* clip, const avm1::Value& frame) override;
    avm1::Object* rootOf(avm1::Object* clip) override;
    avm1::Object* parentOf(avm1::Object* clip) override;
    avm1::Object* level(int number) override;
    std::optional<std::string> targetPathOf(avm1::Object* object) override;
    void cloneSprite(avm1::Object* source, std::string_view newName, int timelineDepth) override;
    void removeSprite(avm1::Object* clip) override;
    void startDrag(avm1::Object* clip, const avm1::DragOptions& options) override;
    void endDrag() override;
    double timerMs() override { return clockMs_; }
    bool externalAvailable() override { return true; }
    std::optional<std::string> externalCallOut(std::string_view invokeXml) override;
    bool externalAddCallback(std::string_view name) override;

    // player::TimelineHooks
    void objectCreated(player::DisplayObject& object) override;
    void objectRemoved(player::DisplayObject& object) override;
    void runInitActions(player::MovieClip& root, uint16_t spriteId,
                        const player::ActionBytes& actions) override;
    void runFrameActions(player::MovieClip& clip, const player::ActionBytes& actions) override;
    void clipLoaded(player::MovieClip& clip) override;
    void frameEntered(player::MovieClip& clip) override;
    void runButtonActions(player::Button& button, const player::ActionBytes& actions) override;
    void mouseEvent(player::DisplayObject& target, player::MouseEvent event) override;

    void start();
    void runActions(avm1::Object* target, const player::ActionBytes& actions);
    // Runs the clip's onClipEvent handlers for the event bits, then calls its method.
    void clipEvent(player::MovieClip& clip, uint32_t eventBits, const char* method);
    void callMethod(avm1::Object* object, const char* method,
                    const std::vector<avm1::Value>& args = {});
    void mouseEventsForAllClips(uint32_t eventBits, const char* listenerMethod);
    void afterScripts();
    player::MovieClip* clipOf(avm1::Object* object) const;
    void runPendingConstructors();
    void updateDrag();
    // Buttons' keyPress conditions and clips' onClipEvent(keyPress) for one key.
    void keyPressHandlers(int swfKey);

    std::unique_ptr<avm1::Vm> vm_;
    std::unique_ptr<ScriptClasses> classes_;
    std::shared_ptr<const player::MovieDefinition> movie_;
    std::unique_ptr<player::Stage> stage_;
    TraceOutput trace_;
    StageSettings stageSettings_;
    NetworkHost* network_ = nullptr;    // not owned
    ExternalHost* external_ = nullptr;  // not owned
    std::vector<uint8_t> stream_;
    LoadStatus status_ = LoadStatus::Waiting;
    player::SwfError loadError_ = player::SwfError::None;

    double clockMs_ = 0;
    double frameDebtMs_ = 0;
    int frameLimit_ = 0;
    int framesPlayed_ = 0;
    bool mouseHidden_ = false;
    std::vector<int> keysDown_;
    int lastKeyCode_ = 0;
    int lastCharCode_ = 0;

    uint32_t nextRequestId_ = 1;
    std::map<uint32_t, PendingLoad> pendingLoads_;
    // Clips of registered classes whose constructor runs before their next script.
    std::vector<std::weak_ptr<player::DisplayObject>> pendingConstructors_;

    // Removed clips with unload handlers; they run once the change that removed them is
    // complete (removal itself may not run scripts).
    struct PendingUnload {
        avm1::Object* clip = nullptr;  // kept alive by the root marker until it runs
        std::shared_ptr<player::DisplayObject> display;  // its handlers still reach it
        std::vector<player::ActionBytes> actions;        // onClipEvent(unload) blocks
    };
    std::vector<PendingUnload> pendingUnloads_;
    void runPendingUnloads();

    std::weak_ptr<player::DisplayObject> dragged_;
    avm1::DragOptions dragOptions_;
    player::Point dragOffset_;
};

}  // namespace kestrel::runtime
