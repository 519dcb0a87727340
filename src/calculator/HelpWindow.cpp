#include "calculator/HelpWindow.h"

#include "appframe/WindowFonts.h"
#include "calculator/GreekLetterTable.h"
#include "eqedit/FormulaField.h"
#include "platform/Canvas.h"
#include "platform/QtText.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr int kTextHeight = 16;

// How a label looks apart from its text.
enum class Look { Plain, Small, Key };

// One label of a page: its place (a width of 0 sizes it to its text, a given width
// wraps the text in it) and its text as it stands.
struct HelpLabel {
    const char* name;
    Look look;
    QRect place;
    const char* text;
};

// One example formula.
struct HelpExample {
    const char* name;
    QRect place;
    const char* formula;
};

struct HelpPage {
    const char* caption;
    std::vector<HelpLabel> labels;
    std::vector<HelpExample> examples;
    bool greekLetters = false; // the table of Greek letters and their keys follows
};

// The gap of spaces in the Greek prefix text that the "F3" key cap fills.
const char* const kGreekKeyGap = "клавишу        ,";

const std::vector<HelpPage>& Pages() {
    static const std::vector<HelpPage> pages{
        {"Набор Греческих букв",
         {
             {"greekPrefixText",
              Look::Small,
              {72, 32, 427, 48},
              "     Для  набора греческой буквы следует предварительно нажать функциональную "
              "клавишу        , а затем - соответствующий этой букве аналог в латинском регистре."},
             {"greekPrefixKeyCap", Look::Key, {252, 48, 0, 0}, "F3"},
         },
         {},
         true},
        {"Набор выражения, формулы",
         {
             {"upPositionText",
              Look::Plain,
              {24, 7, 478, 60},
              "        Переход в верхнюю позицию осуществляется клавишей \"UP\" (вверх). "
              "Возврат в прежнее положение осуществляется клавишей \"DOWN\" (вниз)."},
             {"downPositionText",
              Look::Plain,
              {24, 71, 497, 60},
              "        Переход в нижнюю позицию осуществляется клавишей \"DOWN\" (вниз). "
              "Возврат в прежнее положение осуществляется клавишей \"UP\" (вверх)."},
             {"letterCaseText",
              Look::Plain,
              {16, 137, 516, 40},
              "        При вводе формулы или выражения обратите внимание на то,   какие Вам "
              "нужны литеры - заглавные или строчные."},
             {"letterCaseExampleBefore", Look::Plain, {48, 185, 0, 0}, "Например, в обозначении"},
             {"letterCaseExampleAfter",
              Look::Plain,
              {320, 185, 0, 0},
              "буквы \"W\" и \"R\" заглавные,"},
             {"letterCaseWarning",
              Look::Plain,
              {16, 205, 0, 0},
              "а \"a\" строчная. Будьте внимательны, программа различает регистр."},
             {"functionArgumentsText",
              Look::Plain,
              {48, 233, 0, 0},
              "При записи функций, параметры необходимо вводить в скобках:"},
         },
         {
             {"letterCaseExample", {258, 181, 47, 27}, " W!Ra"},
             {"functionArgumentsExample", {184, 265, 177, 27}, " y = cos(x#2@) + tan(z!1@)"},
         }},
        {"Особенности набора формул",
         {
             {"functionPowerText",
              Look::Plain,
              {32, 32, 0, 0},
              "1) Возведение функции в степень должно быть в виде:"},
             {"variablePowerText",
              Look::Plain,
              {8, 112, 482, 60},
              "      2) При возведении в степень переменной, первым пишется индекс, затем "
              "указывается степень. Скобки ставить не обязательно:"},
             {"compoundPowerText",
              Look::Plain,
              {8, 224, 510, 40},
              "      3) Если степень - сложное выражение, то ее необходимо брать в скобки:"},
             // Many students read log as the natural logarithm; here it is base 10.
             {"logarithmText",
              Look::Plain,
              {8, 320, 510, 40},
              "      4) log(x) - десятичный логарифм, как lg(x); натуральный логарифм - ln(x)."},
             // Statements give angles in degrees; the functions take radians.
             {"angleUnitsText",
              Look::Plain,
              {8, 368, 510, 40},
              "      5) Угол в sin(x), cos(x), tan(x) - в радианах. Угол в градусах пишется "
              "со знаком ° или буквами deg: sin(30°) = sin(30deg) = 0,5."},
         },
         {
             {"functionPowerExample", {208, 64, 153, 27}, "     (   cos(X)  )#2@"},
             {"variablePowerExample", {256, 184, 57, 27}, "  R!A#2"},
             {"compoundPowerExample", {224, 280, 113, 27}, "  4#(-2)@ + 5#(4-67)@"},
         }},
    };
    return pages;
}

QLabel* AddLabel(QWidget* page, const HelpLabel& item) {
    auto* label = new QLabel(page);
    label->setObjectName(item.name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    QFont font = appframe::PixelFont(appframe::kFormFontName, kTextHeight);
    QString text = QString::fromUtf8(item.text);
    switch (item.look) {
    case Look::Plain:
        break;
    case Look::Small:
        font.setPixelSize(13);
        break;
    case Look::Key:
        // A key cap: dark bold text on a light raised face, readable on the grey page.
        font.setPixelSize(13);
        font.setBold(true);
        palette.setColor(QPalette::WindowText, Qt::black);
        palette.setColor(QPalette::Window, Qt::white);
        label->setAutoFillBackground(true);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    }
    label->setFont(font);
    label->setPalette(palette);
    label->setText(text);
    if (item.place.width() > 0) {
        label->setWordWrap(true);
        label->setGeometry(item.place);
    } else {
        label->move(item.place.topLeft());
        label->adjustSize();
    }
    return label;
}

void AddExample(QWidget* page, const HelpExample& item) {
    auto* example = new FormulaField(page);
    example->setObjectName(item.name);
    example->setGeometry(item.place);
    example->SetFont(appframe::FormulaFont(19));
    example->SetEquation(item.formula);
    example->setEnabled(false);
    example->setFocusPolicy(Qt::NoFocus);
}

QWidget* AddPage(QTabWidget* pages, const HelpPage& item, int number) {
    auto* scrollBox = new QScrollArea;
    scrollBox->setObjectName(QStringLiteral("page%1").arg(number));
    scrollBox->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    for (const HelpLabel& label : item.labels)
        AddLabel(content, label);
    for (const HelpExample& example : item.examples)
        AddExample(content, example);
    if (item.greekLetters)
        calculator::AddGreekLetterTable(content, {72, 96});
    const QRect used = content->childrenRect();
    content->resize(used.right() + 8, used.bottom() + 8);
    scrollBox->setWidget(content);
    pages->addTab(scrollBox, QString::fromUtf8(item.caption));
    return content;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("helpWindow");
    // A tool window that stays open beside the others, never modal.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setWindowTitle(QString::fromUtf8("Помощь"));
    setFont(appframe::PixelFont(appframe::kFormFontName, 11));
    setFixedSize(570, 405);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    pageTabs = new QTabWidget(this);
    pageTabs->setObjectName("pageTabs");
    pageTabs->setDocumentMode(true);
    pageTabs->setGeometry(0, 0, width(), height() - 40);
    int number = 1;
    for (const HelpPage& page : Pages())
        AddPage(pageTabs, page, number++);
    PlaceKeyOverGap();

    auto* panel = new QWidget(this);
    panel->setObjectName("buttonPanel");
    panel->setGeometry(0, height() - 40, width(), 40);
    okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", panel);
    okButton->setObjectName("okButton");
    okButton->setGeometry(232, 8, 105, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void HelpWindow::Open(const QWidget* beside) {
    if (beside != nullptr && !isVisible()) {
        const QRect next = beside->frameGeometry();
        const QScreen* screen = beside->screen();
        const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
        QPoint place(next.right() + 1, next.top());
        if (place.x() + width() > room.right()) // no room on the right: on the left
            place.setX(next.left() - frameGeometry().width());
        if (room.isValid())
            place = QPoint(
                std::clamp(place.x(), room.left(), std::max(room.left(), room.right() - width())),
                std::clamp(place.y(), room.top(), std::max(room.top(), room.bottom() - height())));
        move(place);
    }
    show();
    raise();
    activateWindow();
}

// "F3" stands in the gap of spaces that the Greek prefix text leaves for it. Fonts differ
// in the width of a space, so the gap is found where the text's own line breaking puts it.
void HelpWindow::PlaceKeyOverGap() {
    auto* text = pageTabs->findChild<QLabel*>("greekPrefixText");
    auto* key = pageTabs->findChild<QLabel*>("greekPrefixKeyCap");
    const QString content = text->text();
    const QString gap = QString::fromUtf8(kGreekKeyGap);
    const int gapStart = content.indexOf(gap) + gap.indexOf(QLatin1Char(' '));
    const int gapEnd = content.indexOf(gap) + gap.lastIndexOf(QLatin1Char(' ')) + 1;

    QTextLayout layout(content, text->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal top = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(text->width());
        line.setPosition(QPointF(0, top));
        top += line.height();
    }
    layout.endLayout();
    const QTextLine line = layout.lineForTextPosition(gapStart);
    if (!line.isValid())
        return;
    qreal end = line.cursorToX(gapEnd);
    if (layout.lineForTextPosition(gapEnd).lineNumber() != line.lineNumber())
        end = line.naturalTextWidth();
    const qreal start = line.cursorToX(gapStart);
    const int left = text->x() + static_cast<int>((start + end - key->width()) / 2);
    // The cap is no higher than the line, so that it covers nothing of the next one.
    key->setAlignment(Qt::AlignCenter);
    key->resize(key->width(), std::min(key->sizeHint().height(), static_cast<int>(line.height())));
    key->move(left, text->y() + static_cast<int>(line.y()));
    key->raise();
}
