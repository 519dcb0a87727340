#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The SETRESULTQUEST payload: one item per answer row, in the task's order, each the text of
// the row's name field (" NAME @="), the answer, and ";". The one writer and the one reader
// of it, for the client, the server and the tools. All texts are CP1251.

// The formula a row's name field shows, which also opens the row's item: a space, the name
// as REQUEST gives it, a space, "@" back to the baseline and "=".
std::string NameFieldText(std::string_view name);

struct ResultItem {
    std::string name;   // as REQUEST gives it, in the notation ("X!A")
    std::string answer; // the formula text sent for it
};

std::string WriteResultPayload(const std::vector<ResultItem>& items);

// The answer of each requested name, in the task's order; nullopt for a name whose item
// is missing. An answer runs from its name-field text up to the ";" before the next
// requested name's item (or the payload's last ";"), so a ";" inside an answer stays.
std::vector<std::optional<std::string>> ReadAnswers(std::string_view payload,
                                                    const std::vector<std::string>& names);
