#pragma once

#include "answers/Formula.h"
#include "answers/Problem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace answers {

// The one reader of answers. It reads, in CP1251:
// - the notation an answer row sends: "#" raises to the exponent up to "@" (or the end),
//   "!" starts a name's subscript, "~" makes the next letter Greek;
// - what students type: "^" for a power (a number, a name, a bracket or a signed one of
//   these as exponent), "_" for a subscript, a decimal comma or point, "*", "·" and "/",
//   implicit products of a number and a following name, function or bracket, of a
//   closing bracket and a following name, function or bracket, and the functions with
//   their bracket (cos, sin, tan, cotan, ctan, log, ln, exp, abs, sqrt, atan, arctan, up,
//   cosh, ch, sinh, sh, tanh, th; in any case), whose angles are in radians;
// - "°" (or "deg") after a number: an angle in degrees, read as that number times pi/180.
// Names are taken whole and only as they are known: declared by the task, a name of an
// earlier answer row, or a constant every formula may use (pi, Pi, PI, ~p, g). A run of
// letters that is none of these is never cut into a product by guessing.
//
// Bounds: at most MaxAnswerBytes of text and MaxDepth of nesting; reading ends on any
// input.
inline constexpr std::size_t MaxAnswerBytes = 2000;
inline constexpr int MaxDepth = 64;

// The names an answer may use, given in the notation ("v!C", "~w"; "v_C" is the same).
struct KnownNames {
    std::vector<std::string> declared;
    std::vector<std::string> earlierRows;
};

struct ReadResult {
    // Set whenever the text is readable, an unknown name included.
    std::optional<Formula> formula;
    // Set when the answer cannot be read or names something unknown.
    std::optional<Problem> problem;

    bool Accepted() const { return formula && !problem; }
};

ReadResult Read(std::string_view cp1251Text, const KnownNames& names);
ReadResult Read(std::string_view cp1251Text, const std::vector<std::string>& declaredNames,
                const std::vector<std::string>& earlierRowNames = {});

// The line the student reads back: "2·v_C", "x^(2·a)", "ω", "0,75·F·l".
std::string ReadingText(const Formula& formula, TextStyle style = TextStyle::Unicode);

// One name key ("v!C", "~w") as the reading writes it ("v_C", "ω").
std::string NameText(std::string_view key, TextStyle style = TextStyle::Unicode);

// The key of a name written in the notation or as typed ("v!C@", "v_C" -> "v!C");
// nullopt when the text is not one name.
std::optional<std::string> NameKey(std::string_view cp1251Name);

// Whether a trigonometric function (cos, sin, tan, cotan) is given a plain number beyond
// a full turn in radians (2·pi), as "sin(55)": most likely an angle meant in degrees.
bool AngleLooksLikeDegrees(const Formula& formula);

// The constants every formula may use, and their values.
bool IsConstantName(std::string_view key);
double ConstantValue(std::string_view key);

} // namespace answers
