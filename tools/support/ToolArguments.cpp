#include "ToolArguments.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>

std::string ToolArguments::Option(std::string_view name, std::string otherwise) const {
    const auto found = options.find(name);
    return found == options.end() ? otherwise : found->second;
}

std::optional<ToolArguments> ReadToolArguments(int argc, char** argv, int first,
                                               std::initializer_list<std::string_view> known,
                                               std::initializer_list<std::string_view> flags) {
    QCommandLineParser parser;
    for (const std::string_view name : known)
        parser.addOption(QCommandLineOption(QString::fromUtf8(name.substr(2)), {}, "value"));
    for (const std::string_view name : flags)
        parser.addOption(QCommandLineOption(QString::fromUtf8(name.substr(2))));
    const auto isFlag = [&flags](std::string_view word) {
        return std::find(flags.begin(), flags.end(), word) != flags.end();
    };
    // The parser is given the options, each with the place of its value in argv, so that
    // a value keeps its bytes whatever their encoding. Every argument that does not begin
    // with "--" is a word ("-" and a negative number among them). An option is written
    // "--name VALUE" only: "--name=VALUE" and a bare "--" are unknown.
    ToolArguments arguments;
    QStringList options{QString()};
    for (int i = first; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!word.starts_with("--")) {
            arguments.words.emplace_back(word);
            continue;
        }
        if (word == "--" || word.find('=') != std::string_view::npos)
            return std::nullopt;
        options << QString::fromUtf8(word);
        if (!isFlag(word) && i + 1 < argc)
            options << QString::number(++i);
    }
    if (!parser.parse(options))
        return std::nullopt;
    for (const QString& name : parser.optionNames()) {
        const std::string option = "--" + name.toStdString();
        if (isFlag(option)) {
            if (std::count(argv + first, argv + argc, option) > 1) // given twice
                return std::nullopt;
            arguments.options.emplace(option, std::string());
            continue;
        }
        const QStringList places = parser.values(name);
        if (places.size() > 1) // given twice
            return std::nullopt;
        arguments.options.emplace(option, argv[places.front().toInt()]);
    }
    return arguments;
}
