#include "ToolArguments.h"

#include <QCommandLineParser>
#include <QStringList>

std::string ToolArguments::Option(std::string_view name, std::string otherwise) const {
    const auto found = options.find(name);
    return found == options.end() ? otherwise : found->second;
}

std::optional<ToolArguments> ReadToolArguments(int argc, char** argv, int first,
                                               std::initializer_list<std::string_view> known) {
    QCommandLineParser parser;
    for (const std::string_view name : known)
        parser.addOption(QCommandLineOption(QString::fromUtf8(name.substr(2)), {}, "value"));
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
        if (i + 1 < argc)
            options << QString::number(++i);
    }
    if (!parser.parse(options))
        return std::nullopt;
    for (const QString& name : parser.optionNames()) {
        const QStringList places = parser.values(name);
        if (places.size() > 1) // given twice
            return std::nullopt;
        arguments.options.emplace("--" + name.toStdString(), argv[places.front().toInt()]);
    }
    return arguments;
}
