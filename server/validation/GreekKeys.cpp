#include "validation/GreekKeys.h"

#include "platform/Trim.h"

#include "answers/TextStyle.h"
#include "platform/Cp1251.h"
#include "platform/SymbolFont.h"

#include <set>
#include <string_view>

namespace {

// The keys whose letter differs between a statement and the answer notation.
constexpr std::string_view kMovedKeys = "fjquxy";

bool Moved(char key) {
    return kMovedKeys.find(key) != std::string_view::npos;
}

std::string StatementLetter(char key) {
    return platform::SymbolTextToUtf8(std::string_view(&key, 1));
}

std::string AnswerLetter(char key) {
    std::string letter;
    answers::AppendGreek(letter, key, answers::TextStyle::Unicode);
    return letter;
}

// The keys of the text between every "<sym>" and "</sym>" of a statement.
void SymbolKeys(std::string_view quest, std::set<char>& keys) {
    constexpr std::string_view kOpen = "<sym>", kClose = "</sym>";
    for (std::size_t open = quest.find(kOpen); open != std::string_view::npos;
         open = quest.find(kOpen, open + 1)) {
        const std::size_t from = open + kOpen.size();
        const std::size_t close = quest.find(kClose, from);
        for (char c : quest.substr(from, close == std::string_view::npos ? close : close - from))
            keys.insert(c);
    }
}

// The keys of the quoted text of every GREKTEXT statement of a script.
void GreekTextKeys(std::string_view script, std::set<char>& keys) {
    constexpr std::string_view kKeyword = "GREKTEXT(";
    for (std::size_t at = script.find(kKeyword); at != std::string_view::npos;
         at = script.find(kKeyword, at + 1)) {
        const std::size_t open = script.find('"', at);
        const std::size_t close =
            open == std::string_view::npos ? open : script.find('"', open + 1);
        if (close == std::string_view::npos)
            continue;
        for (char c : script.substr(open + 1, close - open - 1))
            keys.insert(c);
    }
}

// Each name of a ";"-ended list (before its "=" in VARIABLES) that spells a key with "~".
void TildeKeys(std::string_view list, std::string_view section,
               std::vector<std::pair<char, std::string>>& spelt) {
    std::size_t start = 0;
    for (std::size_t end; (end = list.find(';', start)) != std::string_view::npos;
         start = end + 1) {
        std::string_view name = list.substr(start, end - start);
        name = platform::TrimWhitespace(name.substr(0, name.find('=')));
        for (std::size_t tilde = name.find('~'); tilde != std::string_view::npos;
             tilde = name.find('~', tilde + 1))
            if (tilde + 1 < name.size())
                spelt.emplace_back(name[tilde + 1], std::string(section) + " \"" +
                                                        platform::Cp1251ToUtf8(name) + "\"");
    }
}

} // namespace

std::vector<std::string> GreekKeyWarnings(const BankTask& task) {
    std::set<char> shown;
    SymbolKeys(task.quest, shown);
    GreekTextKeys(task.image, shown);
    GreekTextKeys(task.animate, shown);
    std::vector<std::pair<char, std::string>> spelt;
    TildeKeys(task.request, "REQUEST", spelt);
    TildeKeys(task.variablesSection, "VARIABLES", spelt);
    std::vector<std::string> warnings;
    std::set<char> told;
    for (const auto& [key, where] : spelt) {
        if (!Moved(key) || !shown.contains(key) || !told.insert(key).second)
            continue;
        const std::string meant = StatementLetter(key);
        std::string warning = "Greek letters: the statement shows " + std::string(1, key) + " as " +
                              meant + ", but ~" + std::string(1, key) + " in " + where + " is " +
                              AnswerLetter(key) + " in the answer notation";
        for (char other = 'a'; other <= 'z'; ++other)
            if (other != key && AnswerLetter(other) == meant)
                warning += " (" + meant + " is ~" + std::string(1, other) + " there)";
        warnings.push_back(warning);
    }
    return warnings;
}
