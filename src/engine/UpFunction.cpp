#include "engine/Evaluation.h"

#include <array>
#include <cmath>

namespace {

constexpr int kTerms = 42;

// A[j] = 2^(j(j+1)/2) / j!
std::array<double, kTerms> PowerCoefficients() {
    std::array<double, kTerms> a{};
    double factorial = 1;
    for (int j = 0; j < kTerms; ++j) {
        if (j > 0)
            factorial *= j;
        a[j] = std::ldexp(1.0, j * (j + 1) / 2) / factorial;
    }
    return a;
}

constexpr std::array<double, kTerms> kB = {
    1.0,
    0.5,
    0.06944444444444445,
    0.003472222222222222,
    6.896219135802469e-05,
    5.726755401234568e-07,
    2.0521756330382807e-09,
    3.242677780955436e-12,
    2.2953031806343213e-15,
    7.367012151469997e-19,
    1.082533106205739e-22,
    7.340028734446217e-27,
    2.311502077448957e-31,
    3.3995749928799906e-36,
    2.3460601335573065e-41,
    7.628066133778678e-47,
    1.172750032486297e-52,
    8.552339519043162e-59,
    2.9667041425873945e-65,
    4.907580283678866e-72,
    3.8801671569735697e-79,
    1.4693211445078334e-86,
    2.669806684841567e-94,
    2.3317594546956986e-102,
    9.804190849698626e-111,
    1.987437770819069e-119,
    1.9449631587982914e-128,
    9.200371837018887e-138,
    2.1060948987464733e-147,
    2.335595308380071e-157,
    1.2560368876642422e-167,
    3.278708332422492e-178,
    4.157997017276341e-189,
    2.5639477685134288e-200,
    7.693422511541819e-212,
    1.124185933805796e-223,
    8.005161795394896e-236,
    2.779742976483483e-248,
    4.709947243067912e-261,
    3.896412346452635e-274,
    1.574704738362758e-287,
    3.110676228471657e-301,
};

// How many binary digits of the argument are worth summing, by the position of its
// first digit 1.
constexpr std::array<int, kTerms> kLimit = {10, 10, 10, 10, 11, 11, 12, 13, 13, 14, 15, 16, 17, 17,
                                            18, 19, 20, 21, 22, 23, 24, 24, 25, 26, 27, 28, 29, 30,
                                            31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 42, 42};

} // namespace

// Sums the series of up over the binary digits of 1 - |x|: each digit 1 adds (or, for
// every second one, subtracts) a polynomial in the remainder below that digit.
double UpFunction(double x) {
    static const std::array<double, kTerms> kA = PowerCoefficients();
    if (std::fabs(x) >= 1)
        return 0;
    const double c = x < 0 ? 1 + x : 1 - x;
    if (c == 1)
        return 1;
    double sum = 0;
    int limit = kTerms;
    bool limitSet = false;
    bool add = true;
    double previous = 0;
    for (int i = 1; i < limit; ++i) {
        const double scale = std::ldexp(1.0, i);
        const double t = std::floor(c * scale) / scale;
        if (t - previous >= 1e-13) {
            const double d = c - t;
            double u = 0;
            for (int m = i; m >= 0; --m)
                u = u * d + kA[m] * kB[i - m];
            sum += add ? u : -u;
            add = !add;
            if (!limitSet) {
                limit = kLimit[i];
                limitSet = true;
            }
        }
        previous = t;
    }
    return sum;
}
