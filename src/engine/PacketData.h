#pragma once

#include "engine/FormulaText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where a name was last found in a table: valid while the table has not changed since.
// Tree nodes keep one so that a formula evaluated again and again against the same
// table finds its variables without searching.
struct TableSlot {
    std::uint64_t stamp = 0;
    std::size_t index = 0;
    const long double* number = nullptr; // the entry's number once its text is read
};

// The variable table: names with their values as text, in the order of storing. A new
// table, and a table after ResetTable, holds the constants pi, Pi, PI, ~p and g.
// Errors go to EngineStatus; no operation throws for a missing or empty name.
class TMyPacketData {
public:
    TMyPacketData();
    TMyPacketData(const TMyPacketData&) = delete;
    TMyPacketData& operator=(const TMyPacketData&) = delete;

    // The name in table form: cleaned like a formula (a bracket error leaves the empty
    // text and records its message), without spaces, without its first "@=" and then
    // without its first "=".
    static std::string NormaliseName(std::string_view name);
    // The same without touching EngineStatus: the table form or the bracket error.
    static CleanedText TableForm(std::string_view name);

    void SetValue(std::string_view name, std::string_view valueText);
    long double GetValue(std::string_view name) const;
    void RemoveValue(std::string_view name);
    void ResetTable();
    // Replaces this table's entries by copies of the other's; no other table, no change.
    void AssignTable(const TMyPacketData* other);

    std::size_t Count() const { return entries.size(); }
    const std::string& NameAt(std::size_t i) const { return entries[i].name; }
    const std::string& ValueAt(std::size_t i) const { return entries[i].value; }

    // GetValue of a name already in table form. The slot remembers where it was found.
    long double ValueOfNormalised(const std::string& name, TableSlot& slot) const {
        const long double* number = CachedNumber(slot);
        if (number != nullptr && NumbersMayBeCached())
            return *number;
        return LookUp(name, slot);
    }

    // The number at a slot that is still valid and already converted, else null.
    // Valid only while NumbersMayBeCached().
    const long double* CachedNumber(const TableSlot& slot) const {
        return slot.stamp == stamp ? slot.number : nullptr;
    }

    // Records that a name is not in the table (the first error stays).
    static void ReportMissing(const std::string& normalisedName);

private:
    struct Entry {
        std::string name;
        std::string value;
        // The value text read as a number, filled on the first lookup.
        mutable bool converted = false;
        mutable long double number = 0;
    };

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    long double LookUp(const std::string& name, TableSlot& slot) const;
    std::size_t Find(std::string_view normalisedName) const;
    long double NumberAt(TableSlot& slot) const;
    void Changed();
    void StoreConstants();

    std::vector<Entry> entries;
    std::uint64_t stamp = 0;
};
