#pragma once

#include <string>
#include <vector>

// A distribution as an inline SVG bar chart, drawn on the server so that the page needs no
// script: `values` from 0 to `maximum` counted in ten equal bins (the last one closed),
// each bar labelled with its count, the axis with the bins' bounds; `title` above it.
std::string HistogramSvg(const std::vector<double>& values, double maximum,
                         const std::string& title);
