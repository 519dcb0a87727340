#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The SETRESULTQUEST payload: one item per answer row, in the task's order, each the text of
// the row's name field (" NAME @="), the answer, and ";"; on a task with a drawn answer, one
// more item after the rows: " @DRAW=" and one entry per drawn object, each ended by ";".
// The one writer and the one reader of it, for the client, the server and the tools. All
// texts are CP1251.

// The formula a row's name field shows, which also opens the row's item: a space, the name
// as REQUEST gives it, a space, "@" back to the baseline and "=".
std::string NameFieldText(std::string_view name);

struct ResultItem {
    std::string name;   // as REQUEST gives it, in the notation ("X!A")
    std::string answer; // the formula text sent for it
};

// The drawing item's opener: no row's name-field text starts so (a name is followed by a
// space there), and the editor writes no space into an answer.
inline constexpr std::string_view kDrawingItemOpener = " @DRAW=";
// The most entries a drawing item is read with; more are passed by.
inline constexpr std::size_t kMaxDrawingEntries = 64;

// `drawing`: the drawn answer's entries (each without its ";", holding none), written after
// the rows when given, even when empty (a task with a drawn answer and nothing drawn).
std::string WriteResultPayload(const std::vector<ResultItem>& items,
                               const std::optional<std::vector<std::string>>& drawing = {});

// The answer of each requested name, in the task's order; nullopt for a name whose item
// is missing. An answer runs from its name-field text up to the ";" before the next
// requested name's item (or the payload's last ";"), so a ";" inside an answer stays.
// The last row's answer ends where the drawing item starts.
std::vector<std::optional<std::string>> ReadAnswers(std::string_view payload,
                                                    const std::vector<std::string>& names);

// The drawing item's entries (at most kMaxDrawingEntries, blank ones passed by): nullopt
// when the payload has no drawing item after the rows of `names`.
std::optional<std::vector<std::string>> ReadDrawingEntries(std::string_view payload,
                                                           const std::vector<std::string>& names);
