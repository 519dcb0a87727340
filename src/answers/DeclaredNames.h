#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace answers {

// A name a task declares for its symbolic answers, with the range its trial values are
// drawn from: "a" (0.5..5) or "a = -3..3" (spaces allowed, decimal comma or point).
struct DeclaredName {
    std::string name; // CP1251, in the notation or as typed ("v!C", "v_C", "~w")
    double low = 0.5;
    double high = 5.0;
};

// Reads one item; nullopt and the reason (CP1251) when it is not a name with a range
// whose low end lies below its high end.
std::optional<DeclaredName> ReadDeclaredName(std::string_view item, std::string& problem);

// The ";"-ended items of a task's <VARIABLES> section, as QUEST carries it to the client
// ("v!C;R;a = -3..3;"; a rest after the last ";" is ignored). An item that cannot be read
// is left out and told in `problem` (CP1251; the first such item).
std::vector<DeclaredName> ReadDeclaredNames(std::string_view section, std::string& problem);

// The names alone, as the reader takes them.
std::vector<std::string> NamesOf(const std::vector<DeclaredName>& declared);

} // namespace answers
