#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The parameters of a task with variants, from its <PARAMETERS> section (CP1251):
//   F = 8..14 step 2;   a range from 8 to 14 by 2 (step 1 when left out): 8, 10, 12, 14
//   a = 30, 45, 60;     a list of numbers (with a decimal point: the comma separates)
//   M = F*2;            a formula over earlier parameters, read as answers are read
// One item per ";". A number alone is a parameter with that one value. A comma between two
// digits ("1,5") is a problem, read as the decimal point it was meant to be; so is a second
// "=" in an item (its ";" left out), read as two items: each slip gives one line.
struct TaskParameter {
    std::string name;           // as written ("F", "v_0")
    std::string key;            // the name's key in the answer notation ("F", "v!0")
    std::vector<double> values; // the values to draw from; empty for a formula
    std::string formula;        // a formula over earlier parameters
};

struct TaskParameters {
    std::vector<TaskParameter> items;
    std::vector<std::string> problems; // what cannot be read, one line each (UTF-8)
};

// The most values one range may hold.
inline constexpr std::size_t kMaxParameterValues = 100000;

TaskParameters ReadTaskParameters(std::string_view cp1251Section);

// One value per parameter, in the order of the section.
struct ParameterValue {
    std::string name;
    std::string key;
    double value = 0;
};
using ParameterValues = std::vector<ParameterValue>;

struct DrawnValues {
    ParameterValues values;
    std::string problem; // a formula without a value (UTF-8); empty when all were drawn
};

// The values of one variant: each range and list takes the value at an index drawn from
// the standard 64-bit Mersenne Twister seeded with `seed` (by rejection, so every index is
// equally likely and the mapping never depends on a library's distributions); formulas are
// evaluated over the values before them.
DrawnValues DrawValues(const TaskParameters& parameters, std::uint64_t seed);

// "F = 8; a = 45; M = 16.666667" (CP1251), numbers with a decimal point and at most six
// decimals: a variant's values as the author's tools list them.
std::string ValuesText(const ParameterValues& values);

// The same with every value whole: the shortest text that reads back as the same double
// ("1.5", "0.00000000000000000016", "0.6666666666666666"), so that a value the author wrote
// reads as written and none is lost. What a stored submission keeps of its variant.
std::string ExactValuesText(const ParameterValues& values);
