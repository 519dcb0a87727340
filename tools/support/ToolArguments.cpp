#include "ToolArguments.h"

#include <algorithm>

std::string ToolArguments::Option(std::string_view name, std::string otherwise) const {
    const auto found = options.find(name);
    return found == options.end() ? otherwise : found->second;
}

std::optional<ToolArguments> ReadToolArguments(int argc, char** argv, int first,
                                               std::initializer_list<std::string_view> known) {
    ToolArguments arguments;
    for (int i = first; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!word.starts_with("--")) {
            arguments.words.emplace_back(word);
            continue;
        }
        if (std::find(known.begin(), known.end(), word) == known.end() || i + 1 == argc)
            return std::nullopt;
        if (!arguments.options.emplace(std::string(word), argv[++i]).second)
            return std::nullopt;
    }
    return arguments;
}
