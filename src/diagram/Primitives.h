#pragma once

#include <string_view>

namespace diagram {

struct ObjectPrimitiv;

// The fourteen primitives of the diagram script. Each takes the context and the parameter
// text of its statement (the text between "(" and the closing ")"), reads its parameters
// and draws on the context's canvas, which must be attached.

// Lines and arrows.
void DrawLineStatement(ObjectPrimitiv& context, std::string_view params); // LINE
void DrawAdvancedLine(ObjectPrimitiv& context, std::string_view params);  // ADVLINE
void DrawForceArrow(ObjectPrimitiv& context, std::string_view params);    // ARROW
void DrawBlackArrow(ObjectPrimitiv& context, std::string_view params);    // ARROWBL
void DrawCircularArrow(ObjectPrimitiv& context, std::string_view params); // CARROW

// Bodies.
void DrawCircle(ObjectPrimitiv& context, std::string_view params);       // CIRCLE
void DrawObjectCircle(ObjectPrimitiv& context, std::string_view params); // OBJECT_CIRCLE
void DrawObjectDoubleCircle(ObjectPrimitiv& context,
                            std::string_view params);                     // OBJECT_DOUBLE_CIRCLE
void DrawRectangleBody(ObjectPrimitiv& context, std::string_view params); // RECTANGLE

// Supports.
void DrawGround(ObjectPrimitiv& context, std::string_view params); // GROUND
void DrawSleeve(ObjectPrimitiv& context, std::string_view params); // VTULKA
void DrawHinge(ObjectPrimitiv& context, std::string_view params);  // SHARNIR

// Labels.
void DrawTextStatement(ObjectPrimitiv& context, std::string_view params); // TEXT
void DrawGreekText(ObjectPrimitiv& context, std::string_view params);     // GREKTEXT

} // namespace diagram
