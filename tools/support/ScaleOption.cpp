#include "ScaleOption.h"

#include <charconv>
#include <iostream>
#include <string_view>

namespace {

bool ReadScale(std::string_view text, double& scale) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
    return error == std::errc() && end == text.data() + text.size() && scale > 0 &&
           scale <= kMaxScale;
}

} // namespace

std::optional<double> TakeScaleOption(int& argc, char** argv, int first, const char* tool) {
    double scale = 1.0;
    for (int i = first; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--scale")
            continue;
        if (i + 1 >= argc || !ReadScale(argv[i + 1], scale)) {
            std::cerr << tool << ": the scale must be a number above 0 and at most " << kMaxScale
                      << '\n';
            return std::nullopt;
        }
        for (int k = i; k + 2 < argc; ++k)
            argv[k] = argv[k + 2];
        argc -= 2;
        argv[argc] = nullptr;
        --i;
    }
    return scale;
}
