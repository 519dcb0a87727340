#pragma once

#include <string>
#include <string_view>

// Text of the store (names, captions, answers: UTF-8) put into a page as text, never as
// markup: & < > " ' become entities, so it is safe in an element and in a quoted attribute.
// Bytes that are not valid UTF-8 and control characters other than tab and line break are
// shown as U+FFFD.
std::string HtmlEscaped(std::string_view utf8);

// One path segment of a link: every byte but letters, digits and "-_~" percent-encoded
// (dots too, so that no name makes a ".." segment).
std::string UrlSegment(std::string_view utf8);
