#include "web/Histogram.h"

#include "course/NumberText.h"
#include "web/HtmlText.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kBins = 10;
constexpr int kBarWidth = 28;
constexpr int kChartHeight = 100;
constexpr int kTop = 22;    // room for the title
constexpr int kBottom = 18; // room for the axis labels

std::array<int, kBins> Count(const std::vector<double>& values, double maximum) {
    std::array<int, kBins> bins{};
    for (double value : values) {
        const double place = maximum > 0 ? value / maximum * kBins : 0;
        ++bins[static_cast<std::size_t>(std::clamp(static_cast<int>(place), 0, kBins - 1))];
    }
    return bins;
}

std::string Number(double value) {
    return NumberText(value, -1, ',');
}

} // namespace

std::string HistogramSvg(const std::vector<double>& values, double maximum,
                         const std::string& title) {
    const std::array<int, kBins> bins = Count(values, maximum);
    const int most = std::max(1, *std::max_element(bins.begin(), bins.end()));
    const int width = kBins * kBarWidth + 20;
    std::string svg = "<svg class=\"histogram\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(width) + "\" height=\"" +
                      std::to_string(kTop + kChartHeight + kBottom) + "\" role=\"img\">" +
                      "<title>" + HtmlEscaped(title) + "</title><text x=\"0\" y=\"14\">" +
                      HtmlEscaped(title) + "</text>";
    for (int bin = 0; bin < kBins; ++bin) {
        const int height = bins[static_cast<std::size_t>(bin)] * kChartHeight / most;
        const int x = 10 + bin * kBarWidth;
        const int y = kTop + kChartHeight - height;
        svg += "<rect x=\"" + std::to_string(x + 2) + "\" y=\"" + std::to_string(y) +
               "\" width=\"" + std::to_string(kBarWidth - 4) + "\" height=\"" +
               std::to_string(height) + "\" fill=\"#2c4a6b\"/>";
        if (bins[static_cast<std::size_t>(bin)] > 0)
            svg += "<text x=\"" + std::to_string(x + kBarWidth / 2) + "\" y=\"" +
                   std::to_string(y - 2) + "\" text-anchor=\"middle\" font-size=\"10\">" +
                   std::to_string(bins[static_cast<std::size_t>(bin)]) + "</text>";
    }
    for (int edge = 0; edge <= kBins; edge += 5)
        svg += "<text x=\"" + std::to_string(10 + edge * kBarWidth) + "\" y=\"" +
               std::to_string(kTop + kChartHeight + 14) +
               "\" text-anchor=\"middle\" font-size=\"10\">" + Number(maximum * edge / kBins) +
               "</text>";
    return svg + "</svg>";
}
