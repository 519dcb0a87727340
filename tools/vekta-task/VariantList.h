#pragma once

#include "TaskBank.h"

#include <string>

// The variants a check draws for a task (with the preview secret), as text for the author
// (UTF-8): per variant its values and each reference answer with the values in it, and
// the answer's value where it is a number.
//   variant 1: F = 8; a = 30; M = 16
//     R!A = (8)/2*sin((30)*pi/180) = 2
//     R!B = (16)*l
std::string VariantList(const BankTask& task, int count);
