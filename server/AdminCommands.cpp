#include "AdminCommands.h"

#include "Database.h"
#include "Password.h"
#include "platform/Cp1251.h"

#include <fstream>
#include <iostream>
#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxNameBytes = 200;

bool ValidName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxNameBytes &&
           name.find_first_of(";\r\n") == std::string::npos;
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

int AddUser(Database& database, const std::string& name, std::istream& in, std::ostream& err) {
    if (!ValidName(name)) {
        err << "vekta-server: a user name is 1 to 200 bytes without \";\"\n";
        return 64;
    }
    const std::string password = ReadPassword(in, err);
    if (password.empty()) {
        err << "vekta-server: no password on the input\n";
        return 64;
    }
    // The client sends the password in CP1251; the hash is of those bytes.
    if (!database.AddAccount(name, password::Hash(platform::Utf8ToCp1251(password)))) {
        err << "vekta-server: the user " << name << " exists already\n";
        return 1;
    }
    return 0;
}

} // namespace

int ImportAccounts(Database& database, const std::string& utf8Lines, std::ostream& err) {
    std::istringstream lines(utf8Lines);
    int added = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t semicolon = line.find(';');
        if (line.empty() || line.front() == '#' || semicolon == std::string::npos)
            continue;
        const std::string name = line.substr(0, semicolon);
        if (!ValidName(name)) {
            err << "vekta-server: skipped an unusable user name: " << name.substr(0, 40) << '\n';
            continue;
        }
        const std::string password = platform::Utf8ToCp1251(line.substr(semicolon + 1));
        added += database.AddAccount(name, password::Hash(password)) ? 1 : 0;
    }
    return added;
}

int RunUserCommand(Database& database, const std::vector<std::string>& words, std::istream& in,
                   std::ostream& out, std::ostream& err) {
    const std::string verb = words.empty() ? "" : words[0];
    if (verb == "add" && words.size() == 2)
        return AddUser(database, words[1], in, err);
    if (verb == "list" && words.size() == 1) {
        for (const std::string& name : database.AccountNames())
            out << name << '\n';
        return 0;
    }
    if (verb == "remove" && words.size() == 2) {
        if (database.RemoveAccount(words[1]))
            return 0;
        err << "vekta-server: no user " << words[1] << '\n';
        return 1;
    }
    if (verb == "import" && words.size() == 2) {
        std::ifstream file(words[1], std::ios::binary);
        if (!file) {
            err << "vekta-server: cannot read " << words[1] << '\n';
            return 1;
        }
        std::ostringstream text;
        text << file.rdbuf();
        out << ImportAccounts(database, text.str(), err) << " accounts added\n";
        return 0;
    }
    err << "usage: vekta-server user add NAME | user list | user remove NAME | "
           "user import FILE\n";
    return 64;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

int RunResultsCommand(Database& database, const std::string& user, const std::string& task,
                      std::ostream& out) {
    out << "id,user,task,received_utc,score,total,verdicts,payload\n";
    for (const Database::Result& r : database.Results(user, task))
        out << r.id << ',' << CsvField(r.user) << ',' << CsvField(r.task) << ',' << r.receivedUtc
            << ',' << (r.score < 0 ? "" : std::to_string(r.score)) << ',' << r.total << ','
            << CsvField(r.verdicts) << ',' << CsvField(platform::Cp1251ToUtf8(r.payload)) << '\n';
    return 0;
}
