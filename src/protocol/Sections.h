#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Sections of a payload: "<NAME>text</NAME>". The one reader and the one writer of them,
// shared by the client, the server and the tools. Everything works on CP1251 byte strings.

// Writes "<NAME>text</NAME>".
std::string WriteSection(std::string_view name, std::string_view text);

// Where ExtractSection finds a section's text and what it deletes, given the positions
// (from 0) of the opening tag and of the first closing tag (npos when there is none) in
// a text of `size` bytes.
struct SectionCut {
    std::size_t textFrom = 0, textLength = 0;
    std::size_t eraseFrom = 0, eraseLength = 0;
};
SectionCut CutSection(std::size_t open, std::size_t close, std::size_t openLength,
                      std::size_t size);

// Cuts the first section <NAME>...</NAME> out of a payload and returns its text. A
// missing section, or one whose closing tag is missing, gives empty text; the first
// occurrence wins and the section (up to its closing tag) is removed from the payload.
std::string ExtractSection(std::string& payload, std::string_view name);
