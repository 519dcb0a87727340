#include "engine/PacketData.h"

#include "engine/EngineMessages.h"
#include "engine/EngineStatus.h"
#include "engine/FormulaText.h"

#include "platform/Convert.h"

namespace {

// Every change of any table takes a fresh stamp, so a stamp names one table in one state.
std::uint64_t gLastStamp = 0;

// Names without brackets, spaces, markers or "=" are already in table form.
bool NeedsNormalising(std::string_view name) {
    return name.empty() || name.find_first_of("()!@# =") != std::string_view::npos;
}

void ReportEmptyName() {
    RecordError(3, Messages().emptyTableParameter);
}

} // namespace

TMyPacketData::TMyPacketData() {
    StoreConstants();
}

CleanedText TMyPacketData::TableForm(std::string_view name) {
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

std::string TMyPacketData::NormaliseName(std::string_view name) {
    CleanedText tableForm = TableForm(name);
    if (tableForm.bracketError != nullptr) {
        EngineStatus.Code = 4;
        EngineStatus.ErrorText = *tableForm.bracketError;
    }
    return std::move(tableForm.text);
}

void TMyPacketData::SetValue(std::string_view name, std::string_view valueText) {
    std::string n = NormaliseName(name);
    if (n.empty()) {
        ReportEmptyName();
        return;
    }
    RemoveValue(n);
    entries.push_back(Entry{std::move(n), std::string(valueText)});
    Changed();
}

long double TMyPacketData::GetValue(std::string_view name) const {
    TableSlot slot;
    const std::string n = NormaliseName(name);
    if (n.empty()) {
        ReportEmptyName();
        return 0;
    }
    return LookUp(n, slot);
}

void TMyPacketData::RemoveValue(std::string_view name) {
    const std::string n = NormaliseName(name);
    if (n.empty()) {
        ReportEmptyName();
        return;
    }
    const std::size_t index = Find(n);
    if (index == npos)
        return;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
}

void TMyPacketData::ResetTable() {
    entries.clear();
    StoreConstants();
    Changed();
}

void TMyPacketData::AssignTable(const TMyPacketData* other) {
    if (other == nullptr || other == this)
        return;
    entries = other->entries;
    Changed();
}

void TMyPacketData::ReportMissing(const std::string& normalisedName) {
    if (!EngineStatus.ErrorText.empty())
        return;
    EngineStatus.Code = 3;
    EngineStatus.ErrorText = Messages().noSuchVariable;
    EngineStatus.MissingName = normalisedName;
}

long double TMyPacketData::LookUp(const std::string& name, TableSlot& slot) const {
    if (slot.stamp != stamp) {
        slot.index = Find(name);
        slot.stamp = stamp;
        slot.number = nullptr;
    }
    if (slot.index == npos) {
        ReportMissing(name);
        return 0;
    }
    return NumberAt(slot);
}

std::size_t TMyPacketData::Find(std::string_view normalisedName) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == normalisedName)
            return i;
    return npos;
}

long double TMyPacketData::NumberAt(TableSlot& slot) const {
    const Entry& entry = entries[slot.index];
    if (!entry.converted || !NumbersMayBeCached()) {
        entry.number = TextToNumber(entry.value);
        entry.converted = NumbersMayBeCached();
    }
    slot.number = entry.converted ? &entry.number : nullptr;
    return entry.number;
}

void TMyPacketData::Changed() {
    stamp = ++gLastStamp;
}

void TMyPacketData::StoreConstants() {
    const std::string pi = platform::FloatToStr(static_cast<long double>(3.141592653589793));
    for (const char* name : {"pi", "Pi", "PI", "~p"})
        SetValue(name, pi);
    SetValue("g", platform::FloatToStr(static_cast<long double>(9.81)));
}
