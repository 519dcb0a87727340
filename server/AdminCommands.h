#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class Database;

// The instructor's commands over the server's database:
//   user add NAME        the password is the first line of the input
//   user list
//   user remove NAME
//   user import FILE     "name;password" lines (UTF-8; "#" starts a comment line)
//   results [--user U] [--task T]   every submission as CSV
// Each returns the process exit code and writes errors to `err`.
int RunUserCommand(Database& database, const std::vector<std::string>& words, std::istream& in,
                   std::ostream& out, std::ostream& err);
int RunResultsCommand(Database& database, const std::string& user, const std::string& task,
                      std::ostream& out);

// Adds the accounts of "name;password" lines that are not there yet; returns how many.
int ImportAccounts(Database& database, const std::string& utf8Lines, std::ostream& err);

// One CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
