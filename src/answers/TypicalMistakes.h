#pragma once

#include "answers/TextStyle.h"

#include <optional>
#include <string>
#include <string_view>

namespace answers {

// The ways students typically go wrong that the judge recognises in a wrong answer, with
// no authoring: the answer is the reference changed in one of these ways.
struct Hint {
    enum class Code {
        None,
        Sign,       // the opposite sign
        Power10,    // the reference times 10^power: a unit slip
        Factor2,    // twice the reference
        FactorHalf, // half the reference
        Reciprocal, // one over the reference
        SinCos,     // sine and cosine swapped
        Degrees,    // an angle in degrees taken as radians: sin(30) for sin(30°)
        Radians,    // an angle in radians taken as degrees
        Dimension,  // a unit of another kind of quantity: a mass where a force is asked
    };
    Code code = Code::None;
    int power = 0; // for Power10: ±1, ±2, ±3, ±6

    friend bool operator==(const Hint&, const Hint&) = default;
};

// The hint's code as authors and tools write it: "sign", "power10 3", "power10 -6",
// "factor 2", "factor 1/2", "reciprocal", "sincos", "degrees", "radians", "dimension";
// empty for None.
std::string HintCode(const Hint& hint);

// A code as HintCode writes it (spaces around it allowed); nullopt when it is none.
std::optional<Hint> ReadHintCode(std::string_view text);

// What the student is told: "похоже, ошибка в знаке", "в 1000 раз больше: проверьте
// единицы"; empty for None.
std::string HintMessage(const Hint& hint, TextStyle style);

} // namespace answers
