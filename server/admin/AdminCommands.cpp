#include "admin/AdminCommands.h"

#include "accounts/Password.h"
#include "admin/Utf8Sequence.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"
#include "storage/Database.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxNameBytes = 200;
constexpr std::size_t kShownBytes = 40;

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Why a user name cannot be used, or empty text when it can.
std::string NameProblem(const std::string& name) {
    if (name.empty())
        return "the user name is empty";
    if (name.size() > kMaxNameBytes)
        return "the user name is longer than 200 bytes";
    if (name.find(';') != std::string::npos)
        return "the user name holds \";\"";
    for (unsigned char c : name)
        if (IsControl(c))
            return "the user name holds a control character";
    return {};
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// The first line of the input; typed at a terminal, it is asked for and not echoed.
std::string ReadPassword(std::istream& in, std::ostream& err) {
    termios saved{};
    const bool terminal =
        &in == &std::cin && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        err << "Password: " << std::flush;
    }
    std::string password;
    std::getline(in, password);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        err << '\n';
    }
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return password;
}

int AddUser(Database& database, const std::string& name, Database::Role role, std::istream& in,
            std::ostream& err) {
    if (const std::string problem = NameProblem(name); !problem.empty()) {
        err << "vekta-server: " << problem
            << "; a user name is 1 to 200 bytes without \";\" "
               "and control characters\n";
        return 64;
    }
    const std::string password = ReadPassword(in, err);
    if (password.empty()) {
        err << "vekta-server: no password on the input\n";
        return 64;
    }
    // The client sends the password in CP1251; the hash is of those bytes.
    if (!database.AddAccount(name, password::Hash(platform::Utf8ToCp1251(password)), role)) {
        err << "vekta-server: the user " << name << " exists already\n";
        return 1;
    }
    return 0;
}

} // namespace

ImportCount ImportAccounts(Database& database, const std::string& fileBytes, bool update,
                           std::ostream& err) {
    const std::string text = IsUtf8(fileBytes) ? fileBytes : platform::Cp1251ToUtf8(fileBytes);
    std::istringstream lines(text);
    ImportCount count;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (platform::TrimBlanks(line).empty() || platform::TrimBlanks(line).front() == '#')
            continue;
        const auto skip = [&](const std::string& why) {
            err << "vekta-server: line " << number << " skipped: " << why << '\n';
            ++count.skipped;
        };
        const std::size_t semicolon = line.find(';');
        if (semicolon == std::string::npos) {
            skip("no \";\" between name and password");
            continue;
        }
        const std::string name(platform::TrimBlanks(line.substr(0, semicolon)));
        if (const std::string problem = NameProblem(name); !problem.empty()) {
            skip(problem);
            continue;
        }
        const std::string password = platform::Utf8ToCp1251(line.substr(semicolon + 1));
        if (password.empty()) {
            skip("the password of " + name + " is empty");
            continue;
        }
        const std::string hash = password::Hash(password);
        if (database.AddAccount(name, hash))
            ++count.added;
        else if (update && database.SetPasswordHash(name, hash))
            ++count.updated;
        else
            skip("the user " + name + " exists already" +
                 (update ? "" : " (--update replaces its password)"));
    }
    return count;
}

int RunUserCommand(Database& database, const std::vector<std::string>& words, std::istream& in,
                   std::ostream& out, std::ostream& err) {
    const std::string verb = words.empty() ? "" : words[0];
    const bool teacher = words.size() == 3 && words[2] == "--teacher";
    if (verb == "add" && (words.size() == 2 || teacher))
        return AddUser(database, words[1],
                       teacher ? Database::Role::Teacher : Database::Role::Student, in, err);
    if (verb == "list" && words.size() == 1) {
        for (const Database::Account& account : database.Accounts())
            out << ShownText(account.name) << ';'
                << (account.role == Database::Role::Teacher ? "teacher" : "student") << '\n';
        return 0;
    }
    if (verb == "remove" && words.size() == 2) {
        if (database.RemoveAccount(words[1]))
            return 0;
        err << "vekta-server: no user " << words[1] << '\n';
        return 1;
    }
    const bool update = words.size() == 3 && words[2] == "--update";
    if (verb == "import" && (words.size() == 2 || update)) {
        std::ifstream file(words[1], std::ios::binary);
        if (!file) {
            err << "vekta-server: cannot read " << words[1] << '\n';
            return 1;
        }
        std::ostringstream text;
        text << file.rdbuf();
        const ImportCount count = ImportAccounts(database, text.str(), update, err);
        out << count.added << " accounts added";
        if (update)
            out << ", " << count.updated << " updated";
        if (count.skipped > 0)
            out << ", " << count.skipped << " lines skipped";
        out << '\n';
        return 0;
    }
    err << "usage: vekta-server user add NAME [--teacher] | user list | user remove NAME | "
           "user import FILE [--update]\n";
    return 64;
}

std::string ShownText(const std::string& utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        // C1 controls (U+0080..U+009F) are the two bytes C2 80..C2 9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
        if (c == '\\') {
            shown += "\\\\";
        } else if ((IsControl(c) && c != '\n') || c1) {
            const auto code = c1 ? static_cast<unsigned char>(utf8[++i]) : c;
            shown += c1 ? "\\u00" : "\\x";
            shown += kHex[code >> 4];
            shown += kHex[code & 0xF];
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

std::string CsvField(const std::string& text, char separator) {
    std::string cell = ShownText(text);
    // A spreadsheet takes a cell that starts like this for a formula; a quote in front
    // makes it text.
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos)
        cell.insert(0, 1, '\'');
    if (cell.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

int RunExtendCommand(Database& database, const std::vector<std::string>& words, std::ostream& out,
                     std::ostream& err) {
    // At most a year past the close.
    constexpr long long kMaxMinutes = 366LL * 24 * 60;
    long long minutes = -1;
    if (words.size() == 2) {
        const std::string& text = words[1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
        if (error != std::errc() || end != text.data() + text.size())
            minutes = -1;
    }
    if (words.size() != 2 || minutes < 0 || minutes > kMaxMinutes) {
        err << "usage: vekta-server extend NAME MINUTES (0.." << kMaxMinutes << ")\n";
        return 64;
    }
    if (!database.PasswordHash(words[0])) {
        err << "vekta-server: no user " << ShownText(words[0]) << '\n';
        return 1;
    }
    database.SetTimeExtension(words[0], static_cast<int>(minutes));
    out << ShownText(words[0]) << ": " << minutes << " minutes past the close\n";
    return 0;
}

namespace {

// A submission's credit: the shortest text that gives the number back ("2", "1.5"), with
// the decimal separator the file's readers expect.
std::string CreditText(double credited, char decimal) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, credited);
    if (error != std::errc())
        return {};
    std::string text(digits, end);
    std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

// The columns of `results`. New columns go at the end, so that a sheet or a script that
// reads the first ones by position keeps reading them.
constexpr std::string_view kResultsColumns[] = {"id",      "user",    "task",     "received_utc",
                                                "score",   "total",   "verdicts", "payload",
                                                "attempt", "variant", "credited", "counted"};

} // namespace

ResultsStyle ResultsStyle::Plain() {
    return {',', '.', "\n", false};
}

ResultsStyle ResultsStyle::Spreadsheet() {
    return {';', ',', "\r\n", true};
}

void WriteResults(Database& database, const std::string& user, const std::string& task,
                  const ResultsStyle& style, std::ostream& out) {
    if (style.byteOrderMark)
        out << "\xEF\xBB\xBF";
    const char* between = "";
    for (const std::string_view column : kResultsColumns) {
        out << between << column;
        between = style.separator == ',' ? "," : ";";
    }
    out << style.lineEnd;
    const char s = style.separator;
    database.ForEachResult(user, task, [&](const Database::Result& r) {
        const bool judged = r.score >= 0;
        out << r.id << s << CsvField(r.user, s) << s << CsvField(r.task, s) << s
            << CsvField(r.receivedUtc, s) << s << (judged ? std::to_string(r.score) : "") << s
            << r.total << s << CsvField(r.verdicts, s) << s
            << CsvField(platform::Cp1251ToUtf8(r.payload), s) << s
            << (r.attempt > 0 ? std::to_string(r.attempt) : "") << s << CsvField(r.variant, s) << s
            << (judged ? CreditText(r.credited, style.decimal) : "") << s << (r.counted ? 1 : 0)
            << style.lineEnd;
    });
}

int RunResultsCommand(Database& database, const std::string& user, const std::string& task,
                      const ResultsStyle& style, std::ostream& out) {
    WriteResults(database, user, task, style, out);
    return out ? 0 : 1;
}
