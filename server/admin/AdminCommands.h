#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class Database;

// The instructor's commands over the server's database:
//   user add NAME [--teacher]   the password is the first line of the input; a teacher
//                        signs in to the gradebook's web pages
//   user list            names and roles
//   user remove NAME
//   user import FILE [--update]   "name;password" lines (UTF-8, or CP1251 when the file
//                        is not UTF-8; "#" starts a comment line)
//   results [--user U] [--task T] [--spreadsheet]   every submission as CSV, row by row
//   extend NAME MINUTES  the student may work MINUTES past the test window's close (0 takes
//                        it back); replaces an extension given before
// Each returns the process exit code and writes errors to `err`.
int RunUserCommand(Database& database, const std::vector<std::string>& words, std::istream& in,
                   std::ostream& out, std::ostream& err);
int RunExtendCommand(Database& database, const std::vector<std::string>& words, std::ostream& out,
                     std::ostream& err);

// How `results` writes its CSV. Plain is what scripts read: "," between cells, a decimal
// point, "\n" lines. Spreadsheet is what a spreadsheet set up for Russian opens as it is:
// a byte-order mark (so that Cyrillic is read as UTF-8), ";" between cells, the decimal
// comma and "\r\n" lines. Cells are formula-safe in both.
struct ResultsStyle {
    char separator;
    char decimal;
    const char* lineEnd;
    bool byteOrderMark;
    static ResultsStyle Plain();
    static ResultsStyle Spreadsheet();
};
// Every stored submission (of `user` and `task` when not empty), one row each.
void WriteResults(Database& database, const std::string& user, const std::string& task,
                  const ResultsStyle& style, std::ostream& out);
int RunResultsCommand(Database& database, const std::string& user, const std::string& task,
                      const ResultsStyle& style, std::ostream& out);

// Adds the accounts of "name;password" lines (names trimmed of spaces and tabs); an
// existing account gets the line's password only with `update`. Every line skipped is
// reported on `err` with its number and why.
struct ImportCount {
    int added = 0;
    int updated = 0;
    int skipped = 0;
};
ImportCount ImportAccounts(Database& database, const std::string& fileBytes, bool update,
                           std::ostream& err);

// UTF-8 text safe to show on a terminal: control characters other than the line break
// (C0, DEL and C1) are written \xNN or \u00NN, and a backslash as two.
std::string ShownText(const std::string& utf8);

// One CSV cell for a spreadsheet: the text shown safely; a cell that would start a formula
// (=, +, -, @, a tab or a carriage return) gets a "'" in front; quoted when it holds the
// separator, a quote or a line break.
std::string CsvField(const std::string& text, char separator = ',');
