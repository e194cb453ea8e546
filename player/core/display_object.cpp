#include "player/core/display_object.h"

#include <algorithm>
#include <cmath>

#include "player/core/button.h"
#include "player/core/display_factory.h"
#include "player/core/movie_clip.h"
#include "player/core/stage.h"

namespace kestrel::player {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

MovieClip& DisplayObject::root() const {
    return stage_->root();
}

void DisplayObject::setMatrix(const Matrix& m) {
    matrix_ = m;
    transformLocked_ = true;
}

void DisplayObject::setColorTransform(const ColorTransform& ct) {
    colorTransform_ = ct;
    transformLocked_ = true;
}

void DisplayObject::setX(double px) {
    if (!std::isfinite(px)) return;
    matrix_.tx = px * kTwipsPerPixel - positionOffset().x;
    transformLocked_ = true;
}

void DisplayObject::setY(double px) {
    if (!std::isfinite(px)) return;
    matrix_.ty = px * kTwipsPerPixel - positionOffset().y;
    transformLocked_ = true;
}

const DisplayObject::ScriptTransform* DisplayObject::currentScriptTransform() const {
    if (!scriptTransform_) return nullptr;
    const ScriptTransform& t = *scriptTransform_;
    bool unchanged = t.a == matrix_.a && t.b == matrix_.b && t.c == matrix_.c && t.d == matrix_.d;
    return unchanged ? &t : nullptr;
}

double DisplayObject::xScale() const {
    if (const ScriptTransform* t = currentScriptTransform()) return t->xScale;
    return std::sqrt(matrix_.a * matrix_.a + matrix_.b * matrix_.b) * 100;
}
double DisplayObject::yScale() const {
    if (const ScriptTransform* t = currentScriptTransform()) return t->yScale;
    return std::sqrt(matrix_.c * matrix_.c + matrix_.d * matrix_.d) * 100;
}
double DisplayObject::rotation() const {
    if (const ScriptTransform* t = currentScriptTransform()) return t->rotation;
    return std::atan2(matrix_.b, matrix_.a) * 180 / kPi;
}

void DisplayObject::setMatrixFromScale(double xs, double ys, double deg) {
    if (!std::isfinite(xs) || !std::isfinite(ys) || !std::isfinite(deg)) return;
    // Rotation is kept within -180..180.
    deg = std::fmod(deg, 360.0);
    if (deg > 180) deg -= 360;
    if (deg < -180) deg += 360;
    double r = deg * kPi / 180;
    matrix_.a = xs / 100 * std::cos(r);
    matrix_.b = xs / 100 * std::sin(r);
    matrix_.c = -ys / 100 * std::sin(r);
    matrix_.d = ys / 100 * std::cos(r);
    scriptTransform_ = ScriptTransform{matrix_.a, matrix_.b, matrix_.c, matrix_.d, xs, ys, deg};
    transformLocked_ = true;
}

void DisplayObject::setXScale(double p) {
    setMatrixFromScale(p, yScale(), rotation());
}
void DisplayObject::setYScale(double p) {
    setMatrixFromScale(xScale(), p, rotation());
}
void DisplayObject::setRotation(double deg) {
    setMatrixFromScale(xScale(), yScale(), deg);
}

void DisplayObject::setAlpha(double percent) {
    if (!std::isfinite(percent)) return;
    // The player keeps colour multipliers in 8.8 fixed point, cut towards zero, so
    // _alpha reads back in steps of 100/256.
    double fixed = std::clamp(std::trunc(percent * 256 / 100), -32768.0, 32767.0);
    colorTransform_.aMul = fixed / 256;
    transformLocked_ = true;
}

// Bounds in the parent are whole twips, as the player keeps every display coordinate.
double DisplayObject::width() const {
    Rect r = boundsInParent();
    if (r.isEmpty()) return 0;
    return (std::round(r.xMax) - std::round(r.xMin)) / kTwipsPerPixel;
}
double DisplayObject::height() const {
    Rect r = boundsInParent();
    if (r.isEmpty()) return 0;
    return (std::round(r.yMax) - std::round(r.yMin)) / kTwipsPerPixel;
}

void DisplayObject::setWidth(double px) {
    double current = width();
    if (current <= 0 || !std::isfinite(px)) return;
    setXScale(xScale() * px / current);
}

void DisplayObject::setHeight(double px) {
    double current = height();
    if (current <= 0 || !std::isfinite(px)) return;
    setYScale(yScale() * px / current);
}

DisplayObject* DisplayObject::container() const {
    if (parent_) return parent_;
    return stateOwner_;
}

Matrix DisplayObject::worldMatrix() const {
    const DisplayObject* up = container();
    return up ? up->worldMatrix().multiply(matrix_) : matrix_;
}

ColorTransform DisplayObject::worldColorTransform() const {
    const DisplayObject* up = container();
    return up ? up->worldColorTransform().concat(colorTransform_) : colorTransform_;
}

bool DisplayObject::hitTest(double stageX, double stageY) const {
    Matrix inverse;
    if (!worldMatrix().invert(inverse)) return false;
    Point p = inverse.apply(stageX, stageY);
    return hitTestLocal(p.x, p.y);
}

std::string DisplayObject::targetPath() const {
    const DisplayObject* up = container();
    if (!up) return "_level0";
    return up->targetPath() + "." + name_;
}

EditText::EditText(Stage& stage, const EditTextDefinition& format)
    : DisplayObject(DisplayObjectKind::EditText, stage),
      format_(format),
      text_(format.initialText) {}

Shape::Shape(Stage& stage, const MorphShapeDefinition& morph)
    : DisplayObject(DisplayObjectKind::Shape, stage), morph_(&morph) {}

const ShapeDefinition& Shape::definition() const {
    if (!morph_) return *definition_;
    if (!morphed_ || morphedRatio_ != ratio()) {
        if (!morphed_) morphed_ = std::make_unique<ShapeDefinition>();
        morphShapeAt(*morph_, ratio(), *morphed_);
        morphedRatio_ = ratio();
    }
    return *morphed_;
}

std::shared_ptr<DisplayObject> instantiateCharacter(Stage& stage, uint16_t id) {
    const MovieDefinition& movie = stage.movie();
    std::shared_ptr<DisplayObject> object;
    switch (movie.kindOf(id)) {
        case CharacterKind::Shape:
            object = std::make_shared<Shape>(stage, *movie.shape(id));
            break;
        case CharacterKind::MorphShape:
            object = std::make_shared<Shape>(stage, *movie.morphShape(id));
            break;
        case CharacterKind::Sprite:
            object = std::make_shared<MovieClip>(stage, *movie.sprite(id));
            break;
        case CharacterKind::EditText:
            object = std::make_shared<EditText>(stage, *movie.editText(id));
            break;
        case CharacterKind::Button:
            object = std::make_shared<Button>(stage, *movie.button(id));
            break;
        default:
            return nullptr;
    }
    object->characterId_ = id;
    return object;
}

}  // namespace kestrel::player
