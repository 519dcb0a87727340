#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The part of a message (CP1251) that the message box shows: its lines broken at LF,
// CR LF or CR, at most kMaxLines of them and each at most kMaxLineBytes long; what is
// cut is marked by "...". A box the size of the screen holds no more, and laying out a
// message of megabytes would leave the client unanswering for seconds.
namespace shown_text {
constexpr std::size_t kMaxLines = 40;
constexpr std::size_t kMaxLineBytes = 300;
} // namespace shown_text

std::string ShownText(std::string_view cp1251);
