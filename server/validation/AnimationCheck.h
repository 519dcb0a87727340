#pragma once

#include "animation/AnimationModel.h"

#include <string>
#include <vector>

// The problems of an animation script (CP1251) as the animation window would meet them:
// what loading leaves out (an unknown statement among them), and the errors of the still
// picture and of the frames at the start, the middle and the end of a run. One UTF-8 line
// each; none for a script that plays.
std::vector<std::string> CheckAnimation(const std::string& script);

// The statements of a loaded model (OBJ, FIRSTOBJ, LASTOBJ) that the player would draw as
// nothing: unknown keywords and brackets that do not pair up, at the model's current values.
// One UTF-8 line each.
std::vector<std::string> UndrawableStatements(const animation::AnimationModel& model);
