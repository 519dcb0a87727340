#pragma once

#include <string>

// Of two different level markers in a row only the second stays. For each of the pairs
// "!@", "!#", "@!", "@#", "#!", "#@" in this order, the first character of the pair's
// first occurrence is deleted; passes repeat until one finds none of them. Returns
// whether anything was deleted. Runs in O(n log n), whatever the text.
bool RemoveMarkerPairs(std::string& text);
