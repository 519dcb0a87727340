#pragma once

#include "course/TaskBank.h"

#include <string>
#include <vector>

// A statement shows a Latin key as the Greek letter the "Symbol" font has there (<sym>q</sym>
// and GREKTEXT give θ), while the answer notation moves six keys so that the letter on the key
// is the one a student gets (~q gives ξ). For every key of those six that the statement shows
// and a REQUEST or VARIABLES name spells with "~", one UTF-8 warning: the author most likely
// meant the letter the statement shows.
std::vector<std::string> GreekKeyWarnings(const BankTask& task);
