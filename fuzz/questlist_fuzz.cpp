// A task list payload as the server may send it, read into links: the reading must end,
// keep to 1024 links and never crash, however the entries and sections are broken.

#include "protocol/QuestList.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string payload(reinterpret_cast<const char*>(data), size);
    const std::vector<QuestListEntry> entries = ParseQuestList(payload);
    if (entries.size() > static_cast<std::size_t>(kMaxQuestLinks))
        __builtin_trap();
    for (const QuestListEntry& entry : entries)
        if (entry.name.size() > size || entry.caption.size() > size)
            __builtin_trap();
    return 0;
}
