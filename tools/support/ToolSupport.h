#pragma once

#include <optional>
#include <string>

// What the drawing tools share: a headless Qt set-up and reading the script file.

// Chooses the offscreen platform unless one is set and lets only Qt's critical messages
// through: notices such as a missing runtime directory on a headless machine are not the
// author's business. Call before the application object is made.
void PrepareHeadlessQt();

// The whole file as bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const char* path);
