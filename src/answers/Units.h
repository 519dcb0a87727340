#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace answers {

// The kind of a quantity: the powers of length, mass, time and plane angle in it. The angle
// is a kind of its own, so that a speed of rotation in об/мин is told from a frequency.
struct Dimension {
    int length = 0;
    int mass = 0;
    int time = 0;
    int angle = 0;

    friend bool operator==(const Dimension&, const Dimension&) = default;
};

// A unit of the course's table or a product, quotient and powers of them.
struct Unit {
    std::string text;  // CP1251, as written ("кН", "м/с^2")
    double factor = 1; // how many SI units one of it is (kN: 1000)
    Dimension dimension;
    std::string siText; // CP1251, the SI unit of the same shape ("Н", "м/с^2", "рад/с")
};

// A text shaped as a unit: symbols joined by "*", "·" or "/" (from the left), each perhaps
// raised by "^" and a whole number. Its unit when every symbol is in the table; otherwise
// the first symbol that is not, and the unit it stands for with its look-alike Latin and
// Cyrillic letters changed ("H" for "Н", "c" for "с"), when there is one.
struct UnitRead {
    std::optional<Unit> unit;
    std::string unknown;              // CP1251
    std::string meant;                // CP1251, empty when no unit is meant
    std::vector<std::string> symbols; // CP1251, in order ("кН·м/с^2": кН, м, с)
};

// The table: м, см, мм, км; с, мин, ч; кг, г, т; Н, кН, МН; Па, кПа, МПа, ГПа; Дж, кДж;
// Вт, кВт; рад, °, об, Гц; and the Latin m, cm, mm, km, s, min, h, kg, t, N, kN, MN, Pa,
// kPa, MPa, GPa, J, kJ, W, kW, rad, deg, rpm, Hz. (The Latin "g" is the gravity constant.)
// nullopt when the text is not shaped as a unit.
std::optional<UnitRead> ReadUnit(std::string_view cp1251);

// Why a unit is not accepted (UTF-8): "кх: нет такой единицы", or for look-alike letters
// "Н — русская или латинская?".
std::string UnknownUnitText(const UnitRead& read);

// Why a unit of another kind is wrong (UTF-8): "кг — масса, а нужна сила".
std::string DimensionMismatchText(const Unit& given, const Unit& wanted);

// A value as the reading shows it: up to six significant figures, a decimal comma, the
// power of ten as "E" ("-5000", "0,523599", "1,5E-7").
std::string ShortNumber(double value);

} // namespace answers
