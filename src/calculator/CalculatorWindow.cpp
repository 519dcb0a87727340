#include "calculator/CalculatorWindow.h"

#include "calculator/Calculation.h"
#include "calculator/HelpWindow.h"
#include "calculator/WindowFonts.h"
#include "dialogs/MessageDialog.h"
#include "engine/Expression.h"
#include "eqedit/FormulaField.h"
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
    {"Button1", "1", 11, 80},
    {"Button2", "2", 40, 80},
    {"Button3", "3", 69, 80},
    {"Button4", "4", 11, 109},
    {"Button5", "5", 40, 109},
    {"Button6", "6", 69, 109},
    {"Button7", "7", 11, 138},
    {"Button8", "8", 40, 138},
    {"Button9", "9", 69, 138},
    {"Button10", "0", 11, 167},
    {"Button11", "(", 40, 167},
    {"Button12", ")", 69, 167},
    {"Button29", "+", 98, 80},
    {"Button30", "-", 98, 109},
    {"Button31", "/", 98, 138},
    {"Button32", "*", 98, 167},
}};

constexpr std::array<KeyPlace, 8> kFunctionKeys{{
    {"Button21", "cos", 265, 80},
    {"Button22", "sin", 265, 109},
    {"Button23", "tan", 265, 138},
    {"Button24", "cotan", 265, 167},
    {"Button25", "ln", 313, 80},
    {"Button26", "log", 313, 109},
    {"Button27", "exp", 313, 138},
    {"Button28", "abs", 313, 167},
}};

QString SymbolCaption(const char* bytes) {
    return QString::fromUtf8(platform::SymbolTextToUtf8(bytes));
}

} // namespace

CalculatorWindow::CalculatorWindow(MessageDialog* messages, HelpWindow* help, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      CalculatorPacket(std::make_unique<Expression>()), messages_(messages), help_(help) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("Калькулятор"));
    setFont(calculator::PixelFont(calculator::kFormFontName, 11));
    setFixedSize(367, 206);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    CreateToolBar();
    EqEdit1 = new FormulaField(this);
    EqEdit1->setObjectName("EqEdit1");
    EqEdit1->setGeometry(8, 40, 353, 25);
    EqEdit1->SetFont(calculator::FormulaFont(16));
    EqEdit1->OnKeyDown = [this](FormulaField* sender, int& key, Qt::KeyboardModifiers shift) {
        formulaKeyDown(sender, key, shift);
    };
    CreateButtons();

    resultTimer_.setSingleShot(true);
    connect(&resultTimer_, &QTimer::timeout, this, &CalculatorWindow::ShowPendingResult);
}

CalculatorWindow::~CalculatorWindow() = default;

void CalculatorWindow::CreateToolBar() {
    ControlBar1 = new QFrame(this);
    ControlBar1->setObjectName("ControlBar1");
    ControlBar1->setGeometry(0, 0, width(), 34);
    auto* toolBar = new QWidget(ControlBar1);
    toolBar->setObjectName("ToolBar1");
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
    ToolButton1 = makeTool("ToolButton1", 0, "Копировать в буфер", "copy.svg");
    ToolButton2 = makeTool("ToolButton2", 23, "Вставить из буфера", "paste.svg");
    ToolButton3 = makeTool("ToolButton3", 46, "Помощь", "help.svg");
    connect(ToolButton1, &QToolButton::clicked, this, &CalculatorWindow::CopyFormula);
    connect(ToolButton2, &QToolButton::clicked, this, &CalculatorWindow::PasteIntoFormula);
    connect(ToolButton3, &QToolButton::clicked, this, &CalculatorWindow::openHelp);
}

QPushButton* CalculatorWindow::AddButton(const char* name, const QString& caption,
                                         const QRect& place) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setFont(calculator::PixelFont("Arial", 13, true));
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
    QPushButton* back = AddButton("Button13", "Back", {129, 80, 56, 30});
    QPushButton* clear = AddButton("Button14", "Clear", {129, 109, 56, 30});
    clear->setFont(calculator::PixelFont("Arial", 16, true));
    QPushButton* pi = AddButton("Button19", SymbolCaption("p"), {129, 138, 56, 30});
    pi->setFont(calculator::PixelFont(platform::kSymbolSubstituteFamily, 19));
    QPushButton* equals = AddButton("Button16", "=", {129, 167, 56, 30});
    equals->setFont(calculator::PixelFont("Arial", 16, true));
    connect(back, &QPushButton::clicked, this, &CalculatorWindow::deleteLastCharacter);
    connect(clear, &QPushButton::clicked, this, &CalculatorWindow::clearFormula);
    connect(pi, &QPushButton::clicked, this, &CalculatorWindow::typePi);
    connect(equals, &QPushButton::clicked, this, &CalculatorWindow::calculate);
}

// ---- the formula ----

void CalculatorWindow::PostEnd() {
    platform::PostKeyDown(EqEdit1, Qt::Key_End);
}

void CalculatorWindow::PostHome() {
    platform::PostKeyDown(EqEdit1, Qt::Key_Home);
}

void CalculatorWindow::SetFormulaText(const std::string& text) {
    ShowPendingResult();
    EqEdit1->SetEquation(text);
    EqEdit1->setFocus();
    PostEnd();
}

void CalculatorWindow::AppendToFormula(const std::string& text) {
    ShowPendingResult();
    SetFormulaText(EqEdit1->Equation() + text);
}

void CalculatorWindow::CopyFormula() {
    ShowPendingResult();
    QGuiApplication::clipboard()->setText(platform::ToQString(EqEdit1->Equation()));
}

void CalculatorWindow::PasteIntoFormula() {
    ShowPendingResult();
    const std::string pasted = platform::ToCp1251(QGuiApplication::clipboard()->text());
    EqEdit1->SetEquation(EqEdit1->Equation() + pasted);
    PostEnd();
}

void CalculatorWindow::ShowResultSoon() {
    EqEdit1->SetEquation("");
    resultPending_ = true;
    resultTimer_.start(kResultDelayMs);
}

void CalculatorWindow::ShowPendingResult() {
    if (!resultPending_)
        return;
    resultPending_ = false;
    resultTimer_.stop();
    EqEdit1->SetEquation(ResultText);
}

bool CalculatorWindow::CalculateFormula() {
    ShowPendingResult();
    const calculator::Calculation outcome =
        calculator::Calculate(*CalculatorPacket, EqEdit1->Equation());
    if (!outcome.shown) {
        if (messages_ != nullptr)
            messages_->ShowDialog(platform::Cp("Ошибка"), outcome.errorText, outcome.missingName);
        return false;
    }
    PostHome();
    ResultText = outcome.resultText;
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
    SetFormulaText(calculator::WithoutLastCharacter(EqEdit1->Equation()));
}

void CalculatorWindow::calculate() {
    int key = eqedit::kKeyEnter;
    formulaKeyDown(EqEdit1, key, Qt::ControlModifier);
}

void CalculatorWindow::openHelp() {
    if (help_ != nullptr)
        help_->exec();
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
        EqEdit1->SetEquation("");
        EqEdit1->setFocus();
        PostHome();
    } else if (key == 'V' && ctrl) {
        PasteIntoFormula();
    } else if (key == 'C' && ctrl) {
        CopyFormula();
    }
}
