#pragma once

#include "platform/Result.h"

#include <string_view>

namespace diagram {

struct DrawingContext;

// The fourteen primitives of the diagram script. Each takes the context and the parameter
// text of its statement (the text between "(" and the closing ")"), reads its parameters
// and draws on the context's canvas, which must be attached.

// Lines and arrows.
platform::Status DrawLineStatement(DrawingContext& context, std::string_view params); // LINE
platform::Status DrawAdvancedLine(DrawingContext& context, std::string_view params);  // ADVLINE
platform::Status DrawForceArrow(DrawingContext& context, std::string_view params);    // ARROW
platform::Status DrawBlackArrow(DrawingContext& context, std::string_view params);    // ARROWBL
platform::Status DrawCircularArrow(DrawingContext& context, std::string_view params); // CARROW

// Bodies.
platform::Status DrawCircle(DrawingContext& context, std::string_view params); // CIRCLE
platform::Status DrawObjectCircle(DrawingContext& context,
                                  std::string_view params); // OBJECT_CIRCLE
platform::Status DrawObjectDoubleCircle(DrawingContext& context,
                                        std::string_view params); // OBJECT_DOUBLE_CIRCLE
platform::Status DrawRectangleBody(DrawingContext& context, std::string_view params); // RECTANGLE

// Supports.
platform::Status DrawGround(DrawingContext& context, std::string_view params); // GROUND
platform::Status DrawSleeve(DrawingContext& context, std::string_view params); // VTULKA
platform::Status DrawHinge(DrawingContext& context, std::string_view params);  // SHARNIR

// Labels.
platform::Status DrawTextStatement(DrawingContext& context, std::string_view params); // TEXT
platform::Status DrawGreekText(DrawingContext& context, std::string_view params);     // GREKTEXT

} // namespace diagram
