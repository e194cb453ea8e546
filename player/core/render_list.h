// The display list flattened for painting: what to draw, in order, with the
// transforms already combined down to stage twips. Renderers map stage twips to
// device pixels with StageMapping.
#pragma once

#include <vector>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::player {

class EditText;

// Masks (PlaceObject clip depth) arrive as a bracket around what they mask:
//   BeginMask, the mask's Shape items, MaskContent, the masked items, EndMask.
// Brackets nest. Shapes between BeginMask and MaskContent define the area only.
struct RenderItem {
    enum Kind { Shape, Text, BeginMask, MaskContent, EndMask } kind = Shape;
    const ShapeDefinition* shape = nullptr;  // Shape: not owned (movie definition)
    const EditText* text = nullptr;          // Text: not owned (display list)
    Matrix matrix;                           // item space -> stage twips
    ColorTransform colorTransform;           // combined down the tree
};

struct RenderList {
    Rgba background;
    Rect stageRect;  // twips
    std::vector<RenderItem> items;
    void clear() { items.clear(); }
};

}  // namespace kestrel::player
