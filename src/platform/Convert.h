#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace platform {

// Number <-> text conversions with the contracts the client's texts rely on. All of them
// work on CP1251 byte strings and never consult the global C locale while converting.

// Decimal integer with optional leading blanks and sign, 32-bit range. Anything else
// fails with "'<text>' is not a valid integer value".
Result<int> ReadInt(std::string_view text);

// Decimal number with optional blanks around it, optional sign, "." or "," (or the
// system decimal separator) and an optional exponent "E[+-]digits". Anything else,
// and a value beyond the range of long double, fails with
// "'<text>' is not a valid floating point value".
Result<long double> ReadFloat(std::string_view text);

// The general format with 15 significant digits: fixed notation for 0 and for
// magnitudes from 1E-5 up to (not including) 1E15, otherwise the exponent form
// ("1E-10", "2.5E-7", "1E15"). The decimal separator is DecimalChar(). Non-finite
// values are written "NAN", "INF" and "-INF".
std::string FloatToStr(long double value);

// The system decimal separator, read from the C library's locale by InitDecimalChar()
// (call it after setlocale(LC_ALL, "") at start-up); "." until then.
char DecimalChar();
void InitDecimalChar();
void SetDecimalChar(char separator);

} // namespace platform
