#include "calculator/CalculatorWindow.h"

#include "appframe/WindowFonts.h"
#include "calculator/Calculation.h"
#include "calculator/HelpWindow.h"
#include "dialogs/MessageDialog.h"
#include "engine/Expression.h"
#include "eqedit/FormulaField.h"
#include "eqedit/Notation.h"
#include "platform/PostKey.h"
#include "platform/QtText.h"
#include "platform/SymbolFont.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <array>

namespace {

// The wait between emptying the editor and showing a value in it.
constexpr int kResultDelayMs = 10;

// The digit, bracket and operator keys: name, caption, left, top.
struct KeyPlace {
    const char* name;
    const char* caption;
    int left;
    int top;
};

constexpr std::array<KeyPlace, 16> kTypingKeys{{
    {"digit1Button", "1", 11, 80},
    {"digit2Button", "2", 40, 80},
    {"digit3Button", "3", 69, 80},
    {"digit4Button", "4", 11, 109},
    {"digit5Button", "5", 40, 109},
    {"digit6Button", "6", 69, 109},
    {"digit7Button", "7", 11, 138},
    {"digit8Button", "8", 40, 138},
    {"digit9Button", "9", 69, 138},
    {"digit0Button", "0", 11, 167},
    {"openBracketButton", "(", 40, 167},
    {"closeBracketButton", ")", 69, 167},
    {"plusButton", "+", 98, 80},
    {"minusButton", "-", 98, 109},
    {"divideButton", "/", 98, 138},
    {"multiplyButton", "*", 98, 167},
}};

const char* const kRadiansHint =
    "Угол - в радианах; угол в градусах пишется со знаком ° или буквами deg: cos(60°)";

constexpr std::array<KeyPlace, 8> kFunctionKeys{{
    {"cosButton", "cos", 265, 80},
    {"sinButton", "sin", 265, 109},
    {"tanButton", "tan", 265, 138},
    {"cotanButton", "cotan", 265, 167},
    {"lnButton", "ln", 313, 80},
    {"logButton", "log", 313, 109},
    {"expButton", "exp", 313, 138},
    {"absButton", "abs", 313, 167},
}};

QString SymbolCaption(const char* bytes) {
    return QString::fromUtf8(platform::SymbolTextToUtf8(bytes));
}

} // namespace

CalculatorWindow::CalculatorWindow(MessageDialog* messages, HelpWindow* help, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      expression_(std::make_unique<Expression>()), messages_(messages), help_(help) {
    setObjectName("calculatorWindow");
    setWindowTitle(QString::fromUtf8("Калькулятор"));
    setFont(appframe::PixelFont(appframe::kFormFontName, 11));
    setFixedSize(367, 206);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    CreateToolBar();
    formulaField = new FormulaField(this);
    formulaField->setObjectName("formulaField");
    formulaField->setGeometry(8, 40, 353, 25);
    formulaField->SetFont(appframe::FormulaFont(16));
    formulaField->OnKeyDown = [this](FormulaField* sender, int& key, Qt::KeyboardModifiers shift) {
        formulaKeyDown(sender, key, shift);
    };
    CreateButtons();

    resultTimer_.setSingleShot(true);
    connect(&resultTimer_, &QTimer::timeout, this, &CalculatorWindow::ShowPendingResult);
}

CalculatorWindow::~CalculatorWindow() = default;

void CalculatorWindow::CreateToolBar() {
    toolFrame = new QFrame(this);
    toolFrame->setObjectName("toolFrame");
    toolFrame->setGeometry(0, 0, width(), 34);
    auto* toolBar = new QWidget(toolFrame);
    toolBar->setObjectName("toolBar");
    toolBar->setGeometry(11, 2, 73, 26);
    const auto makeTool = [toolBar](const char* name, int left, const char* hint,
                                    const char* iconName) {
        auto* button = new QToolButton(toolBar);
        button->setObjectName(name);
        button->setGeometry(left, 2, 23, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(QString::fromUtf8(hint));
        button->setIcon(QIcon(QStringLiteral(":/vekta/") + QLatin1String(iconName)));
        return button;
    };
    copyButton = makeTool("copyButton", 0, "Копировать в буфер", "copy.svg");
    pasteButton = makeTool("pasteButton", 23, "Вставить из буфера", "paste.svg");
    helpButton = makeTool("helpButton", 46, "Помощь", "help.svg");
    connect(copyButton, &QToolButton::clicked, this, &CalculatorWindow::CopyFormula);
    connect(pasteButton, &QToolButton::clicked, this, &CalculatorWindow::PasteIntoFormula);
    connect(helpButton, &QToolButton::clicked, this, &CalculatorWindow::openHelp);
}

QPushButton* CalculatorWindow::AddButton(const char* name, const QString& caption,
                                         const QRect& place) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setFont(appframe::PixelFont("Arial", 13, true));
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    button->setPalette(palette);
    return button;
}

void CalculatorWindow::CreateButtons() {
    for (const KeyPlace& key : kTypingKeys) {
        QPushButton* button = AddButton(key.name, key.caption, {key.left, key.top, 30, 30});
        connect(button, &QPushButton::clicked, this, &CalculatorWindow::typeKeyCaption);
    }
    for (const KeyPlace& key : kFunctionKeys) {
        QPushButton* button = AddButton(key.name, key.caption, {key.left, key.top, 48, 30});
        connect(button, &QPushButton::clicked, this, &CalculatorWindow::typeFunction);
    }
    // Statements give angles in degrees; the trigonometric functions take radians.
    for (const char* name : {"cosButton", "sinButton", "tanButton"})
        findChild<QPushButton*>(name)->setToolTip(QString::fromUtf8(kRadiansHint));
    QPushButton* back = AddButton("backButton", "Back", {129, 80, 56, 30});
    QPushButton* clear = AddButton("clearButton", "Clear", {129, 109, 56, 30});
    clear->setFont(appframe::PixelFont("Arial", 16, true));
    QPushButton* pi = AddButton("piButton", SymbolCaption("p"), {129, 138, 56, 30});
    pi->setFont(appframe::PixelFont(platform::kSymbolSubstituteFamily, 19));
    QPushButton* equals = AddButton("equalsButton", "=", {129, 167, 56, 30});
    equals->setFont(appframe::PixelFont("Arial", 16, true));
    connect(back, &QPushButton::clicked, this, &CalculatorWindow::deleteLastCharacter);
    connect(clear, &QPushButton::clicked, this, &CalculatorWindow::clearFormula);
    connect(pi, &QPushButton::clicked, this, &CalculatorWindow::typePi);
    connect(equals, &QPushButton::clicked, this, &CalculatorWindow::calculate);
}

// ---- the formula ----

void CalculatorWindow::PostEnd() {
    platform::PostKeyDown(formulaField, Qt::Key_End);
}

void CalculatorWindow::PostHome() {
    platform::PostKeyDown(formulaField, Qt::Key_Home);
}

void CalculatorWindow::SetFormulaText(const std::string& text) {
    ShowPendingResult();
    formulaField->SetEquation(text);
    formulaField->setFocus();
    PostEnd();
}

void CalculatorWindow::AppendToFormula(const std::string& text) {
    ShowPendingResult();
    std::string formula = formulaField->Equation();
    // A sign clicked after a subscript goes on the baseline, as a typed one does.
    if (!text.empty() && !eqedit::SubscriptHolds(text.front()) &&
        eqedit::LevelAt(formula, static_cast<int>(formula.size())) == eqedit::stSubscript)
        formula += eqedit::kBaselineMarker;
    SetFormulaText(formula + text);
}

void CalculatorWindow::CopyFormula() {
    ShowPendingResult();
    QGuiApplication::clipboard()->setText(platform::ToQString(formulaField->Equation()));
}

void CalculatorWindow::PasteIntoFormula() {
    ShowPendingResult();
    const std::string pasted = platform::ToCp1251(QGuiApplication::clipboard()->text());
    formulaField->SetEquation(formulaField->Equation() + pasted);
    PostEnd();
}

void CalculatorWindow::ShowResultSoon() {
    formulaField->SetEquation("");
    resultPending_ = true;
    resultTimer_.start(kResultDelayMs);
}

void CalculatorWindow::ShowPendingResult() {
    if (!resultPending_)
        return;
    resultPending_ = false;
    resultTimer_.stop();
    formulaField->SetEquation(lastResultText);
}

bool CalculatorWindow::CalculateFormula() {
    ShowPendingResult();
    const calculator::Calculation outcome =
        calculator::Calculate(*expression_, formulaField->Equation());
    if (!outcome.shown) {
        if (messages_ != nullptr)
            messages_->ShowDialog(platform::Cp("Ошибка"), outcome.errorText, outcome.missingName);
        return false;
    }
    PostHome();
    lastResultText = outcome.resultText;
    ShowResultSoon();
    return true;
}

// ---- handlers ----

void CalculatorWindow::typeKeyCaption() {
    if (const auto* button = qobject_cast<QPushButton*>(sender()))
        AppendToFormula(platform::ToCp1251(button->text()));
}

void CalculatorWindow::typeFunction() {
    if (const auto* button = qobject_cast<QPushButton*>(sender()))
        AppendToFormula(platform::ToCp1251(button->text()) + "(");
}

void CalculatorWindow::typePi() {
    AppendToFormula("~p");
}

void CalculatorWindow::clearFormula() {
    SetFormulaText("");
}

void CalculatorWindow::deleteLastCharacter() {
    ShowPendingResult();
    SetFormulaText(calculator::WithoutLastCharacter(formulaField->Equation()));
}

void CalculatorWindow::calculate() {
    int key = eqedit::kKeyEnter;
    formulaKeyDown(formulaField, key, Qt::ControlModifier);
}

void CalculatorWindow::openHelp() {
    if (help_ != nullptr)
        help_->Open(this);
}

void CalculatorWindow::formulaKeyDown(FormulaField*, int& key, Qt::KeyboardModifiers shift) {
    // The caret keys posted after a result leave the result's short blank alone.
    if (key != eqedit::kKeyHome && key != eqedit::kKeyEnd)
        ShowPendingResult();
    const bool ctrl = (shift & Qt::ControlModifier) != 0;
    if (key == eqedit::kKeyEnter) {
        CalculateFormula();
        PostHome();
    } else if (key == eqedit::kKeyEscape) {
        formulaField->SetEquation("");
        formulaField->setFocus();
        PostHome();
    } else if (key == 'V' && ctrl) {
        PasteIntoFormula(); // at the end of the formula, as the paste button does
        key = 0;
    } else if (key == 'C' && ctrl) {
        CopyFormula();
        key = 0;
    }
}
