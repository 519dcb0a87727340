#pragma once

#include "engine/EngineError.h"
#include "engine/FormulaText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One variable of a table: its name in table form, its number and the text it shows.
// A value stored as text is read into a number on its first lookup; a value stored as
// a number is written as text (15 significant digits) only when someone asks for it.
struct TableEntry {
    std::string name;
    double number = 0;
    // The number read from text in extended precision, for formulas that need it (a number
    // stored as a number is its own extended value).
    long double exact = 0;
    // The number holds the value: set as a number, or its text already read.
    bool numberKnown = false;
    bool setAsNumber = false;
    // The text holds the value: set as text, or the number already written.
    mutable bool textKnown = false;
    mutable std::string text;
    // Place in the order of storing.
    std::uint64_t stored = 0;
};

// Where a name was last found in a table: valid while no entry has been added to or
// removed from the table since. Tree nodes keep one so that a formula evaluated again and
// again against the same table finds its variables without searching, whatever values
// are stored meanwhile.
struct TableSlot {
    std::uint64_t stamp = 0;
    TableEntry* entry = nullptr; // null: the name is not in the table
};

// The variable table: names with their values, in the order of storing. A new table, and
// a table after ResetTable, holds the constants pi, Pi, PI, ~p and g. No operation throws
// for a missing or empty name: each returns its error.
class VariableTable {
public:
    VariableTable();
    VariableTable(const VariableTable&) = delete;
    VariableTable& operator=(const VariableTable&) = delete;
    ~VariableTable();

    // The name in table form: cleaned like a formula (a bracket error gives the empty text
    // and its message), without spaces, without its first "@=" and then without its
    // first "=".
    static CleanedText TableForm(std::string_view name);

    // Storing replaces the name's value and moves it to the end of the order.
    EngineError SetValue(std::string_view name, std::string_view valueText);
    EngineError SetNumber(std::string_view name, double value);
    // SetNumber for a caller that stores the same name again and again: the slot
    // remembers the entry, so that while it stays valid the name is not looked up.
    EngineError SetNumber(std::string_view name, double value, TableSlot& slot) {
        if (slot.stamp == stamp && slot.entry != nullptr) {
            StoreNumber(*slot.entry, value);
            return EngineError{};
        }
        return SetNumberAndLocate(name, value, slot);
    }
    EngineResult GetValue(std::string_view name) const;
    EngineError RemoveValue(std::string_view name);
    void ResetTable();
    // Replaces this table's entries by copies of the other's; no other table, no change.
    void AssignTable(const VariableTable* other);

    std::size_t Count() const { return entries.size(); }
    const std::string& NameAt(std::size_t i) const { return Ordered()[i]->name; }
    const std::string& ValueAt(std::size_t i) const;

    // The value of a name already in table form; the slot remembers where it was found.
    // A value text that is not a well-formed number is unreadable text (the value is 0).
    double ValueOfNormalised(const std::string& name, TableSlot& slot, EngineError& error) const {
        if (slot.stamp == stamp && slot.entry != nullptr && slot.entry->numberKnown)
            return slot.entry->number;
        const TableEntry* entry = LookUp(name, slot, error);
        return entry != nullptr ? entry->number : 0;
    }
    // The same in extended precision.
    long double ExactValueOfNormalised(const std::string& name, TableSlot& slot,
                                       EngineError& error) const {
        const TableEntry* entry = LookUp(name, slot, error);
        if (entry == nullptr)
            return 0;
        return entry->setAsNumber ? entry->number : entry->exact;
    }

    // The number at a slot that is still valid and holds its number, else null.
    const double* KnownNumber(const TableSlot& slot) const {
        if (slot.stamp != stamp || slot.entry == nullptr || !slot.entry->numberKnown)
            return nullptr;
        return &slot.entry->number;
    }
    // Where the number of a name already in table form is kept, its text read first if need
    // be; null when the name is missing or its text is not a number (nothing is recorded).
    // The place stays valid, and keeps the name's number whatever number is stored for it,
    // while Stamp and TextStamp stay the same.
    const double* NumberPlace(const std::string& name, TableSlot& slot) const;

    // Changes when an entry is added or removed (every table takes its stamps from one
    // counter, so a stamp also names the table).
    std::uint64_t Stamp() const { return stamp; }
    // Changes when a value is stored as text, or a number is stored for a name whose text
    // could not be read.
    std::uint64_t TextStamp() const { return textStamp; }

private:
    TableEntry* Store(CleanedText name);
    TableEntry* StoreNumber(std::string_view name, double value, EngineError& error);
    EngineError SetNumberAndLocate(std::string_view name, double value, TableSlot& slot);
    void StoreNumber(TableEntry& entry, double value) {
        if (!entry.numberKnown)
            TextChanged();
        entry.number = value;
        entry.numberKnown = true;
        entry.setAsNumber = true;
        entry.textKnown = false;
        MoveToEnd(entry);
    }
    void MoveToEnd(TableEntry& entry) {
        entry.stored = ++lastStored;
        orderedValid = false;
    }
    // The entry of a name with its number read, or null when it is missing.
    const TableEntry* LookUp(const std::string& name, TableSlot& slot, EngineError& error) const;
    static void ReadNumber(TableEntry& entry, EngineError& error);
    const std::vector<TableEntry*>& Ordered() const;
    void Changed();
    void TextChanged();
    void StoreConstants();

    std::unordered_map<std::string, std::unique_ptr<TableEntry>> entries;
    std::uint64_t lastStored = 0;
    std::uint64_t stamp = 0;
    std::uint64_t textStamp = 0;
    mutable std::vector<TableEntry*> ordered;
    mutable bool orderedValid = false;
};
