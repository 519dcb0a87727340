#pragma once

#include <optional>

// "--scale R": the device pixel ratio a drawing tool draws its picture at, as a screen of
// that density shows it (1, 1.25, 1.5, 2 ...). The picture is R times as large in pixels;
// everything in it is placed as at 1.

inline constexpr double kMaxScale = 4.0;

// Takes "--scale R" out of the arguments after the command's own (argv[first] on),
// wherever it stands, so that the other options read as before. Gives 1 when the option is
// absent, and nothing after printing why on stderr when R is not a number in (0, 4].
std::optional<double> TakeScaleOption(int& argc, char** argv, int first, const char* tool);
