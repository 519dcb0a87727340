#pragma once

#include <string_view>

namespace diagram {

struct DrawingContext;

// The fourteen primitives of the diagram script. Each takes the context and the parameter
// text of its statement (the text between "(" and the closing ")"), reads its parameters
// and draws on the context's canvas, which must be attached.

// Lines and arrows.
void DrawLineStatement(DrawingContext& context, std::string_view params); // LINE
void DrawAdvancedLine(DrawingContext& context, std::string_view params);  // ADVLINE
void DrawForceArrow(DrawingContext& context, std::string_view params);    // ARROW
void DrawBlackArrow(DrawingContext& context, std::string_view params);    // ARROWBL
void DrawCircularArrow(DrawingContext& context, std::string_view params); // CARROW

// Bodies.
void DrawCircle(DrawingContext& context, std::string_view params);       // CIRCLE
void DrawObjectCircle(DrawingContext& context, std::string_view params); // OBJECT_CIRCLE
void DrawObjectDoubleCircle(DrawingContext& context,
                            std::string_view params);                     // OBJECT_DOUBLE_CIRCLE
void DrawRectangleBody(DrawingContext& context, std::string_view params); // RECTANGLE

// Supports.
void DrawGround(DrawingContext& context, std::string_view params); // GROUND
void DrawSleeve(DrawingContext& context, std::string_view params); // VTULKA
void DrawHinge(DrawingContext& context, std::string_view params);  // SHARNIR

// Labels.
void DrawTextStatement(DrawingContext& context, std::string_view params); // TEXT
void DrawGreekText(DrawingContext& context, std::string_view params);     // GREKTEXT

} // namespace diagram
