#include "calculator/CalculatorForm.h"

#include "calculator/ApplicationEvents.h"
#include "calculator/ApplicationWindows.h"
#include "calculator/Calculation.h"
#include "calculator/HelpPanel.h"
#include "calculator/TrayIcon.h"
#include "calculator/WindowFonts.h"
#include "dialogs/DialogPanel.h"
#include "engine/Expression.h"
#include "eqedit/EqEdit.h"
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

TForm1* Form1 = nullptr;

namespace {

// The wait between emptying the editor and showing a value in it.
constexpr int kResultDelayMs = 10;
// The wait between restoring the program and bringing the calculator to the front.
constexpr int kWakeUpDelayMs = 30;

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

// Greek letters kept on the window but never shown: alpha, beta, phi.
constexpr std::array<KeyPlace, 3> kHiddenGreekKeys{{
    {"Button17", "a", 235, 80},
    {"Button18", "b", 235, 109},
    {"Button20", "j", 235, 167},
}};

QString SymbolCaption(const char* bytes) {
    return QString::fromUtf8(platform::SymbolTextToUtf8(bytes));
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      CalculatorPacket(std::make_unique<Expression>()) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("Калькулятор"));
    setFont(calculator::PixelFont(calculator::kFormFontName, 11));
    setFixedSize(367, 206);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    CreateToolBar();
    EqEdit1 = new TEqEdit(this);
    EqEdit1->setObjectName("EqEdit1");
    EqEdit1->setGeometry(8, 40, 353, 25);
    EqEdit1->SetFont(calculator::FormulaFont(16));
    EqEdit1->OnKeyDown = [this](TEqEdit* sender, int& key, Qt::KeyboardModifiers shift) {
        EqEdit1KeyDown(sender, key, shift);
    };
    CreateButtons();

    ApplicationEvents1 = new TApplicationEvents(this);
    ApplicationEvents1->setObjectName("ApplicationEvents1");
    ApplicationEvents1->OnException = [this](const std::string& message) {
        ApplicationEvents1Exception(message);
    };
    ApplicationEvents1->OnMinimize = [this] { ApplicationEvents1Minimize(); };
    ApplicationEvents1->OnRestore = [this] { ApplicationEvents1Restore(); };

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName("TrayIcon1");
    TrayIcon1->SetHint(platform::Cp("Клиент системы \"ВЕКТА\""));

    resultTimer_.setSingleShot(true);
    connect(&resultTimer_, &QTimer::timeout, this, &TForm1::ShowPendingResult);
}

TForm1::~TForm1() = default;

void TForm1::CreateToolBar() {
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
    connect(ToolButton1, &QToolButton::clicked, this, &TForm1::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TForm1::ToolButton2Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TForm1::ToolButton3Click);
}

QPushButton* TForm1::AddButton(const char* name, const QString& caption, const QRect& place) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setFont(calculator::PixelFont("Arial", 13, true));
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    button->setPalette(palette);
    return button;
}

void TForm1::CreateButtons() {
    for (const KeyPlace& key : kTypingKeys) {
        QPushButton* button = AddButton(key.name, key.caption, {key.left, key.top, 30, 30});
        connect(button, &QPushButton::clicked, this, &TForm1::Button29Click);
    }
    for (const KeyPlace& key : kFunctionKeys) {
        QPushButton* button = AddButton(key.name, key.caption, {key.left, key.top, 48, 30});
        connect(button, &QPushButton::clicked, this, &TForm1::Button21Click);
    }
    for (const KeyPlace& key : kHiddenGreekKeys) {
        QPushButton* button =
            AddButton(key.name, SymbolCaption(key.caption), {key.left, key.top, 30, 30});
        button->setFont(calculator::PixelFont(platform::kSymbolSubstituteFamily, 19));
        button->hide();
    }
    QPushButton* back = AddButton("Button13", "Back", {129, 80, 56, 30});
    QPushButton* clear = AddButton("Button14", "Clear", {129, 109, 56, 30});
    clear->setFont(calculator::PixelFont("Arial", 16, true));
    QPushButton* pi = AddButton("Button19", SymbolCaption("p"), {129, 138, 56, 30});
    pi->setFont(calculator::PixelFont(platform::kSymbolSubstituteFamily, 19));
    QPushButton* equals = AddButton("Button16", "=", {129, 167, 56, 30});
    equals->setFont(calculator::PixelFont("Arial", 16, true));
    connect(back, &QPushButton::clicked, this, &TForm1::Button13Click);
    connect(clear, &QPushButton::clicked, this, &TForm1::Button14Click);
    connect(pi, &QPushButton::clicked, this, &TForm1::Button19Click);
    connect(equals, &QPushButton::clicked, this, &TForm1::Button16Click);
}

// ---- the formula ----

void TForm1::PostEnd() {
    platform::PostKeyDown(EqEdit1, Qt::Key_End);
}

void TForm1::PostHome() {
    platform::PostKeyDown(EqEdit1, Qt::Key_Home);
}

void TForm1::SetFormulaText(const std::string& text) {
    ShowPendingResult();
    EqEdit1->SetEquation(text);
    EqEdit1->setFocus();
    PostEnd();
}

void TForm1::AppendToFormula(const std::string& text) {
    ShowPendingResult();
    SetFormulaText(EqEdit1->Equation() + text);
}

void TForm1::CopyFormula() {
    ShowPendingResult();
    QGuiApplication::clipboard()->setText(platform::ToQString(EqEdit1->Equation()));
}

void TForm1::PasteIntoFormula() {
    ShowPendingResult();
    const std::string pasted = platform::ToCp1251(QGuiApplication::clipboard()->text());
    EqEdit1->SetEquation(EqEdit1->Equation() + pasted);
    PostEnd();
}

void TForm1::ShowResultSoon() {
    EqEdit1->SetEquation("");
    resultPending_ = true;
    resultTimer_.start(kResultDelayMs);
}

void TForm1::ShowPendingResult() {
    if (!resultPending_)
        return;
    resultPending_ = false;
    resultTimer_.stop();
    EqEdit1->SetEquation(ResultText);
}

bool TForm1::CalculateFormula() {
    ShowPendingResult();
    const calculator::Calculation outcome =
        calculator::Calculate(*CalculatorPacket, EqEdit1->Equation());
    if (!outcome.shown) {
        if (DiagForm != nullptr)
            DiagForm->ShowDialog(platform::Cp("Ошибка"), outcome.errorText, outcome.missingName);
        return false;
    }
    PostHome();
    ResultText = outcome.resultText;
    ShowResultSoon();
    return true;
}

// ---- handlers ----

void TForm1::Button29Click() {
    if (const auto* button = qobject_cast<QPushButton*>(sender()))
        AppendToFormula(platform::ToCp1251(button->text()));
}

void TForm1::Button21Click() {
    if (const auto* button = qobject_cast<QPushButton*>(sender()))
        AppendToFormula(platform::ToCp1251(button->text()) + "(");
}

void TForm1::Button19Click() {
    AppendToFormula("~p");
}

void TForm1::Button14Click() {
    SetFormulaText("");
}

void TForm1::Button13Click() {
    ShowPendingResult();
    SetFormulaText(calculator::WithoutLastCharacter(EqEdit1->Equation()));
}

void TForm1::Button16Click() {
    int key = eqedit::kKeyEnter;
    EqEdit1KeyDown(EqEdit1, key, Qt::ControlModifier);
}

void TForm1::ToolButton1Click() {
    CopyFormula();
}

void TForm1::ToolButton2Click() {
    PasteIntoFormula();
}

void TForm1::ToolButton3Click() {
    if (HelpMenuPanel != nullptr)
        HelpMenuPanel->exec();
}

void TForm1::EqEdit1KeyDown(TEqEdit*, int& key, Qt::KeyboardModifiers shift) {
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

// ---- program-wide handlers ----

void TForm1::ApplicationEvents1Exception(const std::string& cp1251Message) {
    if (!cp1251Message.empty())
        ShowErrorReport(cp1251Message);
}

void TForm1::ApplicationEvents1Minimize() {
    // Without a notification area the program could not be brought back: it stays on
    // the task bar, minimised as any other program.
    if (!TrayIcon1->TrayAvailable())
        return;
    TrayIcon1->SetVisible(true);
    calculator::HideApplication();
}

void TForm1::ApplicationEvents1Restore() {
    if (TrayIcon1->Visible())
        TrayIcon1->SetVisible(false);
}

void TForm1::ApplicationEvents1Message(unsigned message, int hotKeyId) {
    if (message != kHotKeyMessage || hotKeyId != kWakeUpHotKey || isActiveWindow())
        return;
    calculator::RestoreApplication();
    QTimer::singleShot(kWakeUpDelayMs, this, [this] {
        raise();
        activateWindow();
    });
}
