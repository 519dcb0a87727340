#include "engine/VariableTable.h"

#include "engine/EngineMessages.h"
#include "engine/FormulaText.h"

#include "platform/Convert.h"

#include <algorithm>
#include <atomic>

namespace {

// Every addition or removal in any table takes a fresh stamp, so a stamp names one table
// with one set of entries.
std::atomic<std::uint64_t> gLastStamp = 0;

// Names without brackets, spaces, markers or "=" are already in table form.
bool NeedsNormalising(std::string_view name) {
    return name.empty() || name.find_first_of("()!@# =") != std::string_view::npos;
}

// The table form of a name, or the error that it has none: its bracket error, else the
// error of an empty name.
CleanedText UsableName(std::string_view name, EngineError& error) {
    CleanedText tableForm = VariableTable::TableForm(name);
    if (tableForm.bracketError != nullptr)
        error.Override(EngineErrorCode::Brackets, *tableForm.bracketError);
    else if (tableForm.text.empty())
        error.Record(EngineErrorCode::VariableTable, Messages().emptyTableParameter);
    return tableForm;
}

} // namespace

VariableTable::VariableTable() {
    StoreConstants();
}

VariableTable::~VariableTable() = default;

CleanedText VariableTable::TableForm(std::string_view name) {
    if (!NeedsNormalising(name))
        return CleanedText{std::string(name)};
    CleanedText cleaned = CleanFormula(name);
    std::string& n = cleaned.text;
    const std::size_t atEquals = n.find("@=");
    if (atEquals != std::string::npos)
        n.erase(atEquals, 2);
    const std::size_t equals = n.find('=');
    if (equals != std::string::npos)
        n.erase(equals, 1);
    return cleaned;
}

TableEntry* VariableTable::Store(CleanedText name) {
    if (name.bracketError != nullptr || name.text.empty())
        return nullptr;
    auto [place, added] = entries.try_emplace(std::move(name.text));
    if (added) {
        place->second = std::make_unique<TableEntry>();
        place->second->name = place->first;
        Changed();
    }
    MoveToEnd(*place->second);
    return place->second.get();
}

EngineError VariableTable::SetValue(std::string_view name, std::string_view valueText) {
    EngineError error;
    TableEntry* entry = Store(UsableName(name, error));
    if (entry == nullptr)
        return error;
    entry->text.assign(valueText);
    entry->textKnown = true;
    entry->numberKnown = false;
    entry->setAsNumber = false;
    TextChanged();
    return error;
}

EngineError VariableTable::SetNumber(std::string_view name, double value) {
    EngineError error;
    StoreNumber(name, value, error);
    return error;
}

EngineError VariableTable::SetNumberAndLocate(std::string_view name, double value,
                                              TableSlot& slot) {
    EngineError error;
    slot.entry = StoreNumber(name, value, error);
    slot.stamp = stamp;
    return error;
}

TableEntry* VariableTable::StoreNumber(std::string_view name, double value, EngineError& error) {
    TableEntry* entry = Store(UsableName(name, error));
    if (entry != nullptr)
        StoreNumber(*entry, value);
    return entry;
}

EngineResult VariableTable::GetValue(std::string_view name) const {
    EngineResult result;
    const CleanedText n = UsableName(name, result.error);
    if (n.bracketError != nullptr || n.text.empty())
        return result;
    TableSlot slot;
    if (const TableEntry* entry = LookUp(n.text, slot, result.error))
        result.value = entry->number;
    return result;
}

EngineError VariableTable::RemoveValue(std::string_view name) {
    EngineError error;
    const CleanedText n = UsableName(name, error);
    if (n.bracketError != nullptr || n.text.empty())
        return error;
    if (entries.erase(n.text) > 0) {
        orderedValid = false;
        Changed();
    }
    return error;
}

void VariableTable::ResetTable() {
    entries.clear();
    orderedValid = false;
    StoreConstants();
    Changed();
}

void VariableTable::AssignTable(const VariableTable* other) {
    if (other == nullptr || other == this)
        return;
    entries.clear();
    for (const auto& [name, entry] : other->entries)
        entries.emplace(name, std::make_unique<TableEntry>(*entry));
    lastStored = other->lastStored;
    orderedValid = false;
    Changed();
}

const std::string& VariableTable::ValueAt(std::size_t i) const {
    const TableEntry& entry = *Ordered()[i];
    if (!entry.textKnown) {
        entry.text = platform::FloatToStr(entry.number);
        entry.textKnown = true;
    }
    return entry.text;
}

const TableEntry* VariableTable::LookUp(const std::string& name, TableSlot& slot,
                                        EngineError& error) const {
    if (slot.stamp != stamp) {
        const auto found = entries.find(name);
        slot.entry = found != entries.end() ? found->second.get() : nullptr;
        slot.stamp = stamp;
    }
    if (slot.entry == nullptr) {
        error.RecordMissing(Messages().noSuchVariable, name);
        return nullptr;
    }
    ReadNumber(*slot.entry, error);
    return slot.entry;
}

const double* VariableTable::NumberPlace(const std::string& name, TableSlot& slot) const {
    EngineError error;
    const TableEntry* entry = LookUp(name, slot, error);
    if (entry == nullptr || !error.ok() || !entry->numberKnown)
        return nullptr;
    return &entry->number;
}

void VariableTable::ReadNumber(TableEntry& entry, EngineError& error) {
    if (entry.numberKnown)
        return;
    const auto number = TextToNumber(entry.text);
    entry.exact = number ? *number : 0;
    entry.number = static_cast<double>(entry.exact);
    entry.numberKnown = number && NumbersMayBeCached();
    if (!number)
        error.RecordUnreadable(number.Error().message);
}

const std::vector<TableEntry*>& VariableTable::Ordered() const {
    if (!orderedValid) {
        ordered.clear();
        for (const auto& [name, entry] : entries)
            ordered.push_back(entry.get());
        std::sort(ordered.begin(), ordered.end(),
                  [](const TableEntry* a, const TableEntry* b) { return a->stored < b->stored; });
        orderedValid = true;
    }
    return ordered;
}

void VariableTable::Changed() {
    stamp = ++gLastStamp;
}

void VariableTable::TextChanged() {
    textStamp = ++gLastStamp;
}

void VariableTable::StoreConstants() {
    const std::string pi = platform::FloatToStr(static_cast<long double>(3.141592653589793));
    for (const char* name : {"pi", "Pi", "PI", "~p"})
        SetValue(name, pi);
    SetValue("g", platform::FloatToStr(static_cast<long double>(9.81)));
}
