#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A tool's command line after its command word: the plain words in order, and the options,
// each "--name VALUE", anywhere among them.
struct ToolArguments {
    std::vector<std::string> words;
    std::map<std::string, std::string, std::less<>> options;

    bool Has(std::string_view name) const { return options.contains(name); }
    // The option's value, or `otherwise` when it is not given.
    std::string Option(std::string_view name, std::string otherwise = {}) const;
};

// Reads argv[first..argc). Nothing when an option is not among `known` or `flags`, one of
// `known` has no value, or any is given twice: the caller shows its usage. A flag takes no
// value; given, it is among the options with an empty one.
std::optional<ToolArguments> ReadToolArguments(int argc, char** argv, int first,
                                               std::initializer_list<std::string_view> known,
                                               std::initializer_list<std::string_view> flags = {});
