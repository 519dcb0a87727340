#pragma once

#include <string>
#include <vector>

// The problems of an animation script (CP1251) as the animation window would meet them:
// what loading leaves out (an unknown statement among them), and the errors of the still
// picture and of the frames at the start, the middle and the end of a run. One UTF-8 line
// each; none for a script that plays.
std::vector<std::string> CheckAnimation(const std::string& script);
