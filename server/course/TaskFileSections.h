#pragma once

#include <string>
#include <string_view>
#include <vector>

// The slips in how a task file's sections are written (UTF-8 text, as the author keeps it):
// a tag that is no section's (a misspelt "</QEUST>"), a section that is not closed or closed
// without being opened, a section given twice, and text between the sections that looks like
// a tag. One UTF-8 line each, "line N: ...", in the order of the file; none for a file whose
// sections are all read as the author wrote them.
std::vector<std::string> SectionLayoutProblems(std::string_view utf8Text);
