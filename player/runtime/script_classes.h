// The script classes the runtime adds to the engine: MovieClip, TextField, Button, XML,
// XMLNode, LoadVars, Key, Mouse and the global loadVariables helpers. One instance per
// player; it owns nothing but the prototypes it registered as roots.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/avm1/vm.h"
#include "player/core/display_object.h"
#include "player/runtime/bitmap_pixels.h"
#include "player/runtime/text_field_content.h"

namespace kestrel::runtime {

class MoviePlayer;

// The display object behind a clip, text field or button script object.
struct DisplayObjectData : avm1::NativeData {
    DisplayObjectData(avm1::Vm& vm, std::weak_ptr<player::DisplayObject> o, bool isClip)
        : vm(&vm), object(std::move(o)), isClip(isClip) {}

    const char* typeOfName() const override;
    // Children by instance name, and display properties ("_x") in any letter case as
    // the player reads them in every version.
    bool lookupDynamic(std::string_view name, bool caseSensitive, avm1::Value& out) override;
    void markReferences(avm1::Marker& m) override;

    avm1::Vm* vm;                  // not owned: the Vm owns the object owning this
    avm1::Object* self = nullptr;  // not owned: the object this data belongs to
    std::weak_ptr<player::DisplayObject> object;
    // A clip stays a "movieclip" to typeof after it is removed and gone.
    bool isClip;
    bool bindingInitialised = false;  // text fields: bound variable seeded from the text
    std::optional<int64_t> tabIndex;  // none until a script sets one
    // A clip's or button's own _focusrect (SWF 6 on); none follows the player's.
    std::optional<bool> focusRect;
    // The target path the object had when it was removed: a script holding it still
    // converts it to that path.
    std::optional<std::string> removedPath;
    std::string removedTarget;  // the same in slash syntax (_target)
    // While its unload handlers run, a removed clip still answers for its properties.
    bool unloading = false;
    TextFieldSettings textField;  // text fields only
};

// The script-side settings of a text field object (null for other objects).
TextFieldSettings* textFieldSettingsOf(avm1::Object& self);
// The data of a clip, text field or button object, removed or not (null for others).
DisplayObjectData* displayDataOf(avm1::Object& self);

// tabIndex of buttons, clips and text fields: undefined until set, and setting undefined
// clears it; `store` says how a number is kept (FieldTabIndex, ButtonTabIndex). Movies
// before `minVersion` keep what they set as a plain value.
avm1::NativeGetter TabIndexGetter();
avm1::NativeSetter TabIndexSetter(int64_t (*store)(double), int minVersion);
// A clip with a button handler (onPress, onRelease, onRollOver...) acts as a button.
bool ActsAsButton(avm1::Vm& vm, avm1::Object* clip);

class ScriptClasses {
  public:
    ScriptClasses(MoviePlayer& player, avm1::Vm& vm);

    // Makes the script object of a new display object, with the prototype its kind
    // (or the class registered for its library symbol) asks for.
    avm1::Object* createScriptObject(player::DisplayObject& object);
    // The class registered with Object.registerClass for a clip's symbol, or null.
    avm1::Object* registeredConstructorOf(const player::DisplayObject& object) const;

    avm1::Object* movieClipPrototype() const { return movieClip_; }
    avm1::Object* textFieldPrototype() const { return textField_; }
    avm1::Object* buttonPrototype() const { return button_; }
    avm1::Object* keyObject() const { return key_; }
    // The Tab key: the focus moves to the next object in tab order (the previous one
    // with Shift).
    void focusNextByTab(bool backwards);
    avm1::Object* mouseObject() const { return mouse_; }
    avm1::Object* stageObject() const { return stage_; }

  private:
    void installMovieClip();
    void installTextField();
    void installButton();
    void installKeyAndMouse();
    void installSelection();
    // The object with the keyboard focus (Selection), null when none or removed.
    player::DisplayObject* focusedObject() const;
    // After a script removed or hid display objects: a focused object among them loses
    // the focus, and Selection's listeners hear of it.
    void focusMayHaveGone();
    // Gives the focus to `next` (null: to nothing), with onKillFocus, onSetFocus, the
    // listeners' onSetFocus and the roll-out and roll-over of buttons and clips.
    void moveFocus(player::DisplayObject* next);
    void installTabIndex();
    // The objects Tab can visit now, in display-list order.
    std::vector<std::shared_ptr<player::DisplayObject>> tabStops();
    void installDisplayProperties(avm1::Object* object, player::DisplayObject& display);
    void installClipProperties(avm1::Object* object, player::DisplayObject& display);
    void installTextFieldProperties();
    void installTextFieldMethods();

    MoviePlayer& player_;
    avm1::Vm& vm_;
    avm1::Object* movieClip_ = nullptr;
    avm1::Object* textField_ = nullptr;
    avm1::Object* button_ = nullptr;
    avm1::Object* key_ = nullptr;
    avm1::Object* mouse_ = nullptr;
    avm1::Object* stage_ = nullptr;
    std::weak_ptr<player::DisplayObject> focus_;
    avm1::Object* selection_ = nullptr;  // a root through the global object
};

// XML/XMLNode, LoadVars, Sound and PrintJob live in their own files.
void installXmlClasses(MoviePlayer& player, avm1::Vm& vm);
// TextFormat (text_format_class.cpp), and its objects as TextField's methods take and give them.
void InstallTextFormatClass(avm1::Vm& vm);
avm1::Object* NewTextFormatObject(avm1::Vm& vm, const TextFormat& format);
std::optional<TextFormat> TextFormatOfValue(const avm1::Value& value);
void installLoadVarsClass(MoviePlayer& player, avm1::Vm& vm);
void installSoundClass(avm1::Vm& vm);
void installPrintJobClass(avm1::Vm& vm);
void installTextSnapshotClass(avm1::Vm& vm);
// flash.display.BitmapData and flash.geom.Matrix/Rectangle, defined in their packages.
void InstallBitmapDataClass(avm1::Vm& vm, avm1::Object* package);
void InstallGeomClasses(avm1::Vm& vm, avm1::Object* package);
// A Matrix-like object's a, b, c, d, tx, ty (identity when not an object).
player::Matrix MatrixOfValue(avm1::Vm& vm, const avm1::Value& value);
// A Rectangle-like object's x, y, width, height in whole pixels (none when not an object).
std::optional<PixelRect> PixelRectOfValue(avm1::Vm& vm, const avm1::Value& value);
// NetConnection and LocalConnection (connection_classes.cpp), and the answer to a remoting
// call (data absent: it failed).
void installConnectionClasses(MoviePlayer& player, avm1::Vm& vm);
void deliverRemotingData(avm1::Vm& vm, avm1::Object* connection, const std::string* data);
// flash.filters.ConvolutionFilter, added to the package `filters`.
void InstallConvolutionFilterClass(avm1::Vm& vm, avm1::Object* filters);
// AsBroadcaster, Error, System and the classes movies look for by name.
void installPlatformClasses(MoviePlayer& player, avm1::Vm& vm);
// Stage (the movie's size, scale mode, alignment, menu, onResize listeners), $version and
// getVersion(). Returns the Stage object.
avm1::Object* installStageClass(MoviePlayer& player, avm1::Vm& vm);
// _focusrect and _soundbuftime (player_properties.cpp): settings of the whole player that
// every clip reaches, and a clip's or button's own _focusrect from SWF 6 on.
void InstallPlayerProperties(MoviePlayer& player, avm1::Object* object,
                             player::DisplayObject& display);
// Called when a load started by XML.load/sendAndLoad completes (data absent: failed).
void deliverXmlData(avm1::Vm& vm, avm1::Object* xml, const std::string* data);
void deliverLoadVarsData(avm1::Vm& vm, avm1::Object* loadVars, const std::string* data);
// Copies decoded name=value pairs onto an object (loadVariables, LoadVars.decode).
void assignUrlVariables(avm1::Vm& vm, avm1::Object* target, const std::string& text);
// Builds name=value text of an object's enumerable properties (LoadVars.toString,
// getURL/loadVariables with a method).
std::string urlVariablesOf(avm1::Vm& vm, avm1::Object* object);

}  // namespace kestrel::runtime
