#pragma once

#include "course/TaskBank.h"

#include <string>

#include <string_view>
#include <vector>

// The variants of a task drawn with `secret` for the given students (UTF-8 names), as text
// for the author (UTF-8): per student the values and each reference answer with the values
// in it, and the answer's value where it is a number.
//   variant 1: F = 8; a = 30; M = 16
//     R!A = (8)/2*sin((30)*pi/180) = 2
//     R!B = (16)*l
std::string VariantList(const BankTask& task, std::string_view secret,
                        const std::vector<std::string>& students);

// The names the check draws its variants for: "variant 1" .. "variant N".
std::vector<std::string> CheckedVariantNames(int count);
