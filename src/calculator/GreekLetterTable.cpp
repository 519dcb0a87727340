#include "calculator/GreekLetterTable.h"

#include "appframe/WindowFonts.h"
#include "eqedit/Notation.h"
#include "platform/SymbolFont.h"

#include <QLabel>

#include <vector>

namespace calculator {

namespace {

constexpr int kColumns = 4;
constexpr int kColumnWidth = 104;
constexpr int kRowHeight = 24;
constexpr int kCaptionHeight = 32;
constexpr int kKeyIndent = 24; // the key stands right of its letter
constexpr int kKeyDrop = 8;    // and a little lower, on the letter's baseline

QLabel* AddTextLabel(QWidget* page, const QString& name, const QString& text, const QFont& font,
                     QPoint at) {
    auto* label = new QLabel(page);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setText(text);
    label->move(at);
    label->adjustSize();
    return label;
}

// One letter and its key, at a cell's top-left.
void AddEntry(QWidget* page, const eqedit::GreekKey& entry, QPoint cell) {
    const QString key = QString(QLatin1Char(entry.key));
    QLabel* letter = AddTextLabel(page, "greekLetter_" + key, QString::fromStdString(entry.letter),
                                  appframe::PixelFont(platform::kSymbolSubstituteFamily, 21), cell);
    QPalette palette = letter->palette();
    palette.setColor(QPalette::WindowText, QColor(128, 0, 0));
    letter->setPalette(palette);
    AddTextLabel(page, "greekKey_" + key, "--   " + key,
                 appframe::PixelFont(appframe::kFormFontName, 16, true),
                 cell + QPoint(kKeyIndent, kKeyDrop));
}

// A caption and the entries under it, down the columns; returns the bottom.
int AddGroup(QWidget* page, const char* name, const char* caption,
             const std::vector<eqedit::GreekKey>& entries, QPoint at) {
    AddTextLabel(page, name, QString::fromUtf8(caption),
                 appframe::PixelFont(appframe::kFormFontName, 13), at);
    const int rows = (static_cast<int>(entries.size()) + kColumns - 1) / kColumns;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const QPoint cell(at.x() + (i / rows) * kColumnWidth,
                          at.y() + kCaptionHeight + (i % rows) * kRowHeight);
        AddEntry(page, entries[static_cast<std::size_t>(i)], cell);
    }
    return at.y() + kCaptionHeight + rows * kRowHeight;
}

} // namespace

int AddGreekLetterTable(QWidget* page, QPoint at) {
    std::vector<eqedit::GreekKey> small;
    std::vector<eqedit::GreekKey> capitals;
    for (const eqedit::GreekKey& entry : eqedit::GreekKeys())
        (entry.key >= 'a' && entry.key <= 'z' ? small : capitals).push_back(entry);
    const int bottom = AddGroup(page, "smallLettersCaption",
                                "Аналоги для строчных букв греческого алфавита:", small, at);
    return AddGroup(page, "capitalsCaption",
                    "Аналоги для заглавных букв греческого алфавита:", capitals,
                    QPoint(at.x(), bottom + 16));
}

} // namespace calculator
