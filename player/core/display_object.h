// Display list nodes. A DisplayObject is owned by its parent clip (shared_ptr, so
// queued events and the runtime's weak references stay safe after removal); the
// root clip is owned by the Stage.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/core/character_definitions.h"
#include "player/core/morph_shape.h"
#include "player/core/swf_types.h"
#include "player/core/text_run.h"

namespace kestrel::player {

class Button;
class MovieClip;
class Stage;

enum class DisplayObjectKind { Shape, MovieClip, EditText, Button };

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
  public:
    virtual ~DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    DisplayObjectKind kind() const { return kind_; }
    bool isClip() const { return kind_ == DisplayObjectKind::MovieClip; }

    // Script-visible depth: timeline depth d appears as d - 16384 (as getDepth()
    // reports it); script-created objects use the depth they were given.
    int depth() const { return depth_; }
    uint16_t characterId() const { return characterId_; }
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }

    // Not owned. Null for the root, for a button's state characters, and after removal.
    MovieClip* parent() const { return parent_; }
    // The clip or button showing this object (a button shows its state characters).
    // Not owned. Null for the root, and after removal.
    DisplayObject* container() const;
    // Not owned. The button whose state shows this object; null for anything else.
    Button* stateOwner() const { return stateOwner_; }
    // Not owned; the stage outlives every object it shows.
    Stage& stage() const { return *stage_; }
    MovieClip& root() const;
    bool isRemoved() const { return removed_; }
    // Made by attachMovie/createEmptyMovieClip/duplicateMovieClip/createTextField:
    // survives timeline rebuilds (going backwards).
    bool createdByScript() const { return createdByScript_; }

    const Matrix& matrix() const { return matrix_; }
    void setMatrix(const Matrix& m);
    const ColorTransform& colorTransform() const { return colorTransform_; }
    void setColorTransform(const ColorTransform& ct);
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    uint16_t ratio() const { return ratio_; }
    // Timeline depth up to which this object masks (0 = not a mask).
    int clipDepth() const { return clipDepth_; }

    // Flash properties. Pixels, percent and degrees. Setting any of them (or the
    // matrix or colour transform) detaches the transform from the timeline: later
    // timeline moves of this object no longer change it.
    double x() const { return (matrix_.tx + positionOffset().x) / kTwipsPerPixel; }
    void setX(double px);
    double y() const { return (matrix_.ty + positionOffset().y) / kTwipsPerPixel; }
    void setY(double px);
    // What _x and _y add to the matrix's translation, in twips (a text field reports
    // the corner of its box).
    virtual Point positionOffset() const { return {0, 0}; }
    double xScale() const;  // percent
    void setXScale(double percent);
    double yScale() const;
    void setYScale(double percent);
    double rotation() const;  // degrees, -180..180
    void setRotation(double degrees);
    double alpha() const { return colorTransform_.aMul * 100.0; }  // percent
    void setAlpha(double percent);
    double width() const;  // pixels, bounds in the parent's space
    void setWidth(double px);
    double height() const;
    void setHeight(double px);

    // Bounds in own coordinates (twips), including children.
    virtual Rect localBounds() const { return Rect::empty(); }
    Rect boundsInParent() const { return matrix_.transformRect(localBounds()); }
    // Own space to stage twips.
    Matrix worldMatrix() const;
    ColorTransform worldColorTransform() const;
    // Point in stage twips inside this object's filled area (visible children only).
    bool hitTest(double stageX, double stageY) const;
    // Same, in own coordinates.
    virtual bool hitTestLocal(double x, double y) const { return false; }

    // Dotted target path from _level0 ("_level0.menu.item").
    std::string targetPath() const;

    // The runtime's object for this display object. Opaque to the core: never
    // dereferenced or freed here; detach it in TimelineHooks::objectRemoved.
    void* scriptObject() const { return scriptObject_; }
    void setScriptObject(void* object) { scriptObject_ = object; }

    // Timeline bookkeeping (used by MovieClip when it applies frames).
    bool transformLockedByScript() const { return transformLocked_; }
    int placedFrame() const { return placedFrame_; }
    const PlaceCommand* placement() const { return placement_; }

  protected:
    DisplayObject(DisplayObjectKind kind, Stage& stage) : kind_(kind), stage_(&stage) {}

  private:
    friend class MovieClip;
    friend class Button;
    friend class Stage;
    friend std::shared_ptr<DisplayObject> instantiateCharacter(Stage& stage, uint16_t characterId);

    void setMatrixFromScale(double xScalePercent, double yScalePercent, double rotationDeg);

    DisplayObjectKind kind_;
    Stage* stage_;
    MovieClip* parent_ = nullptr;
    Button* stateOwner_ = nullptr;  // not owned: the button owns this object
    int depth_ = 0;
    uint16_t characterId_ = 0;
    std::string name_;
    Matrix matrix_;
    // Scale and rotation as a script last set them: the player reports those values rather
    // than ones recomputed from the matrix (which drift), while the matrix is unchanged.
    struct ScriptTransform {
        double a = 1, b = 0, c = 0, d = 1;  // the matrix they produced
        double xScale = 100, yScale = 100, rotation = 0;
    };
    std::optional<ScriptTransform> scriptTransform_;
    const ScriptTransform* currentScriptTransform() const;
    ColorTransform colorTransform_;
    bool visible_ = true;
    uint16_t ratio_ = 0;
    int clipDepth_ = 0;
    bool removed_ = false;
    bool createdByScript_ = false;
    bool transformLocked_ = false;
    int placedFrame_ = 0;                      // frame whose PlaceObject created it
    const PlaceCommand* placement_ = nullptr;  // that command, not owned (in the definition)
    void* scriptObject_ = nullptr;             // not owned
};

// A DefineShape instance, or a DefineMorphShape one drawn at its ratio.
class Shape : public DisplayObject {
  public:
    Shape(Stage& stage, const ShapeDefinition& definition)
        : DisplayObject(DisplayObjectKind::Shape, stage), definition_(&definition) {}
    Shape(Stage& stage, const MorphShapeDefinition& morph);
    // A morph's shape at the current ratio, made when the ratio has changed.
    const ShapeDefinition& definition() const;
    Rect localBounds() const override { return definition().bounds; }
    bool hitTestLocal(double x, double y) const override { return definition().hitTest(x, y); }

  private:
    const ShapeDefinition* definition_ = nullptr;  // not owned: lives in the MovieDefinition
    const MorphShapeDefinition* morph_ = nullptr;  // not owned: lives in the MovieDefinition
    // The morph at morphedRatio_; a cache, so filled in by const readers (the
    // display list belongs to one thread).
    mutable std::unique_ptr<ShapeDefinition> morphed_;
    mutable uint16_t morphedRatio_ = 0;
};

// A DefineEditText instance, or a text field made by createTextField.
class EditText : public DisplayObject {
  public:
    // `format` starts as a copy of the definition (fields of a script-made field
    // start from defaults).
    EditText(Stage& stage, const EditTextDefinition& format);

    const std::string& text() const { return text_; }
    void setText(const std::string& text) { text_ = text; }
    // Name of the variable bound to the field ("" when none); the runtime keeps the
    // two in step.
    const std::string& variableName() const { return format_.variableName; }
    void setVariableName(const std::string& name) { format_.variableName = name; }
    EditTextDefinition& format() { return format_; }
    const EditTextDefinition& format() const { return format_; }

    // The formats of the text, run by run; empty (or not adding up to the text, when
    // the text was changed since) means all of it in format().
    const std::vector<TextRun>& Runs() const { return runs_; }
    void SetRuns(std::vector<TextRun> runs) { runs_ = std::move(runs); }
    // The first line shown (from 1) and how far the lines are moved left (pixels).
    int Scroll() const { return scroll_; }
    void SetScroll(int line) { scroll_ = line; }
    double Hscroll() const { return hscroll_; }
    void SetHscroll(double pixels) { hscroll_ = pixels; }

    Rect localBounds() const override { return format_.bounds; }
    bool hitTestLocal(double x, double y) const override { return format_.bounds.contains(x, y); }
    Point positionOffset() const override {
        if (format_.bounds.isEmpty()) return {0, 0};
        return {format_.bounds.xMin, format_.bounds.yMin};
    }

  private:
    EditTextDefinition format_;
    std::string text_;
    std::vector<TextRun> runs_;
    int scroll_ = 1;
    double hscroll_ = 0;
};

}  // namespace kestrel::player
