#pragma once

#include "answers/Read.h"
#include "answers/Units.h"

#include <optional>
#include <string>
#include <string_view>

namespace answers {

// An answer or a reference read as a quantity: a number or formula, then perhaps a unit.
// A unit is read only at the very end, with or without a space before it ("-5 кН", "-5кН",
// "F/2·кН"), and never where its symbol is a name the formula may use (a declared name, an
// earlier row's name, or a constant such as g): "5g" stays 5·g.
struct QuantityRead {
    ReadResult read;          // the number or formula before the unit; the whole text without
    std::optional<Unit> unit; // the unit it ends in
    std::string unitProblem;  // UTF-8: a unit that is not in the table, or look-alike letters
};

// An answer in a row whose reference has a unit: the unit is looked for first, so that
// "30°" is 30 in degrees. A trailing word that is no unit and no name, after a number, a
// closing bracket or a space, is told as an unknown unit ("кх: нет такой единицы").
// `notUnits`: more names that are never taken for units, though the answer may not use them.
QuantityRead ReadAnswerQuantity(std::string_view cp1251Text, const KnownNames& names,
                                const std::vector<std::string>& notUnits = {});

// A reference: read whole as it always was; a unit only where the whole does not read as a
// formula ("-F/2 кН") or is set apart by a space ("30 °").
QuantityRead ReadReferenceQuantity(std::string_view cp1251Text, const KnownNames& names);

// The reading line of a quantity: the reading, the unit, and where the answer is a number
// its SI value ("-5 кН = -5000 Н"); a number without a unit in a row with one is shown in
// the row's unit. `rowUnit` may be null.
std::string QuantityReadingText(const QuantityRead& quantity, const Unit* rowUnit,
                                TextStyle style = TextStyle::Unicode);

} // namespace answers
