#pragma once

#include "course/TaskParameters.h"

#include <string>
#include <string_view>
#include <vector>

// A text with a variant's values in it (CP1251). "{F}" is replaced by F's value (at most
// six decimals, no trailing zeros), "{M:.2}" by M's value with two decimals, written with
// `decimalChar`. A placeholder naming no parameter is left as written and told in
// `problems`; braces around anything that is not a name are left alone.
struct FilledText {
    std::string text;
    std::vector<std::string> problems; // UTF-8
};
FilledText FillPlaceholders(std::string_view cp1251Text, const ParameterValues& values,
                            char decimalChar);

// A formula (CP1251, in the answer notation) with every parameter's name replaced by its
// value in brackets: "F/2" with F = 8 becomes "(8)/2". Names are taken whole, as the
// answer reader takes them: "F!1" and "Fl" are not "F".
std::string WithParameterValues(std::string_view cp1251Formula, const ParameterValues& values);
