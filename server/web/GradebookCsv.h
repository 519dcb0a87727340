#pragma once

#include "web/Gradebook.h"

#include <string>

// The gradebook as a file a spreadsheet opens: UTF-8 with a byte-order mark, so that
// Cyrillic is read as such; ";" between cells by default (what a spreadsheet set up for
// Russian expects, with the decimal comma), "," on request (then the decimal point). The
// header names each task and its maximum, "Балка-1 (из 3)"; a task's cell is the best
// score as a number, empty when the student has no attempt; the last column is the
// student's total. Text cells are written so that none starts a formula.
std::string GradebookCsv(const Gradebook& book, char separator = ';');
