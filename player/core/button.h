// A DefineButton2 instance: shows the characters of its current state and fires
// condition actions on mouse transitions.
//
// The characters of the shown state are live display objects: clips among them run
// their timelines and scripts, and every one is reported to the runtime when it is
// made and when it goes. A character whose record belongs to both the old and the new
// state stays as it is on a state change; the others go and come. The hit-test
// characters are never shown, so they are built passive.
#pragma once

#include <memory>
#include <vector>

#include "player/core/character_definitions.h"
#include "player/core/display_object.h"

namespace kestrel::player {

enum class ButtonState { Up, Over, Down };

class Button : public DisplayObject {
  public:
    Button(Stage& stage, const ButtonDefinition& definition);

    const ButtonDefinition& definition() const { return *definition_; }
    ButtonState state() const { return state_; }
    // Swaps the shown characters when the state changes.
    void setState(ButtonState state);
    // Characters of the current state, in depth order.
    const std::vector<std::shared_ptr<DisplayObject>>& stateChildren() const { return shown_; }
    // The shown character with this instance name (as MovieClip::childByName).
    DisplayObject* childByName(const std::string& name, bool caseSensitive) const;

    // Bounds of the shown state.
    Rect localBounds() const override;
    // Against the hit-test state's characters.
    bool hitTestLocal(double x, double y) const override;

    // Stage internals: builds the hit area and the Up state, moves the shown clips on
    // by one tick, and lets every character go when the button leaves.
    void construct();
    void advanceTick(uint64_t tick);
    void releaseChildren();

  private:
    friend class MovieClip;

    struct Shown {
        const ButtonRecord* record;  // not owned: lives in the ButtonDefinition
        std::shared_ptr<DisplayObject> object;
    };
    static uint8_t flagOf(ButtonState state);
    std::vector<const ButtonRecord*> recordsOf(uint8_t stateFlag) const;
    std::shared_ptr<DisplayObject> makeCharacter(const ButtonRecord& record, bool live);
    void showState(uint8_t stateFlag);

    const ButtonDefinition* definition_;  // not owned: lives in the MovieDefinition
    ButtonState state_ = ButtonState::Up;
    bool passive_ = false;  // inside a passive clip: no scripts, no reports
    std::vector<Shown> shownRecords_;
    std::vector<std::shared_ptr<DisplayObject>> shown_;  // the objects of shownRecords_
    std::vector<std::shared_ptr<DisplayObject>> hitArea_;
};

}  // namespace kestrel::player
