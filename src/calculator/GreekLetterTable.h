#pragma once

#include <QPoint>

class QWidget;

namespace calculator {

// The help page's table of Greek letters: every letter the formula editor gives after F3,
// with its key ("ω  --   w"), small letters under their caption first, then capitals
// under theirs. Made from the editor's own key table. The first caption's top-left is
// `at`; returns the bottom of the table.
int AddGreekLetterTable(QWidget* page, QPoint at);

} // namespace calculator
