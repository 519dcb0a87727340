#include "dialogs/MessageDialog.h"

#include "dialogs/ShownText.h"
#include "eqedit/FormulaField.h"
#include "platform/ErrorReport.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "platform/VektaApplication.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// Fixed starting places of the layout: the text's top and its margin on each side.
constexpr int kLabelTop = 16;
constexpr int kMargin = 15;

// The window canvas's font, in which the caption is measured.
constexpr int kCaptionFontPoints = 12;
const char* const kFormFontName = "MS Sans Serif";

int Trunc(double value) {
    return static_cast<int>(std::trunc(value));
}

} // namespace

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("messageDialog");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont formFont(kFormFontName);
    formFont.setPixelSize(11);
    setFont(formFont);
    setFixedSize(322, 122);
    winId(); // the native window exists from the start, so that its frame can be known

    messageLabel = new QLabel(this);
    messageLabel->setObjectName("messageLabel");
    messageLabel->setTextFormat(Qt::PlainText); // server text is shown as it is, never as markup
    messageLabel->setWordWrap(false);
    messageLabel->move(24, kLabelTop);

    formulaField = new FormulaField(this);
    formulaField->setObjectName("formulaField");
    formulaField->setGeometry(88, 48, 97, 25);
    platform::Font formulaFont;
    formulaFont.name = kFormFontName;
    formulaFont.size = platform::PointsForPixelHeight(16);
    formulaField->SetFont(formulaFont);
    formulaField->setEnabled(false);
    formulaField->hide();
    formulaHeight_ = formulaField->height();

    okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
    okButton->setObjectName("okButton");
    okButton->setGeometry(104, 80, 75, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

int MessageDialog::CaptionWidth(const std::string& caption) const {
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::QtCanvas canvas(&scratch);
    platform::Font font;
    font.name = kFormFontName;
    font.size = kCaptionFontPoints;
    canvas.SetFont(font);
    return canvas.TextWidth(caption);
}

QSize MessageDialog::FrameExtra() {
    if (windowHandle()) {
        const QMargins frame = windowHandle()->frameMargins();
        if (!frame.isNull())
            frameExtra_ = QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    }
    return frameExtra_;
}

void MessageDialog::ShowDialog(const std::string& caption, const std::string& text,
                               const std::string& formula) {
    if (showing_) {
        // A message is up: boxes opened inside one another would pile up without end
        // when errors keep coming, so this one waits for the user to close it.
        waiting_.Add({caption, text, formula});
        return;
    }
    showing_ = true;
    const auto done = qScopeGuard([this] { showing_ = false; });
    Arrange(caption, text, formula);
    exec();
    while (!waiting_.Empty()) {
        const Report next = waiting_.Take();
        Arrange(next.caption, next.text, next.formula);
        exec();
    }
}

void MessageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void MessageDialog::Arrange(const std::string& caption, const std::string& text,
                            const std::string& formula) {
    setWindowTitle(platform::ToQString(caption));
    formulaField->SetEquation("    " + formula);
    const bool withFormula = !formula.empty();
    if (withFormula) {
        formulaField->resize(formulaField->width(), formulaHeight_);
        formulaField->show();
    } else {
        formulaField->hide();
        formulaField->resize(formulaField->width(), 0);
    }
    messageLabel->setText(platform::ToQString(ShownText(text)));
    messageLabel->adjustSize();
    const int captionWidth = CaptionWidth(caption);

    const int labelWidth = messageLabel->width();
    int formWidth = 2 * kMargin + labelWidth;
    int labelLeft = kMargin;
    if (2 * kMargin + labelWidth < captionWidth)
        formWidth = Trunc(captionWidth * 1.2);
    formWidth = std::max(formWidth, captionWidth + kTitleBarButtonsWidth);
    if (formWidth > 2 * kMargin + labelWidth)
        labelLeft = formWidth / 2 - labelWidth / 2;
    messageLabel->move(labelLeft, kLabelTop);

    const int labelHeight = messageLabel->height();
    formulaField->move(formulaField->x(), Trunc(1.5 * kLabelTop + 1.5 * labelHeight));
    const int buttonTop = withFormula ? formulaField->y() + formulaField->height() + 10
                                      : Trunc(1.5 * kLabelTop + labelHeight + 10);
    const int formHeight = Trunc(buttonTop + 2.6 * okButton->height());
    formulaField->move(formWidth / 2 - formulaField->width() / 2, formulaField->y());
    okButton->move(formWidth / 2 - okButton->width() / 2, buttonTop);

    // The sizes are those of the whole window; the client area gets what the frame
    // leaves of them.
    const QSize frame = FrameExtra();
    setFixedSize(formWidth - frame.width(), formHeight - frame.height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.width() / 2 - formWidth / 2, area.height() / 2 - formHeight / 2);
    }
}

void ShowErrorReport(MessageDialog* dialog, const std::string& cp1251Message) {
    if (dialog != nullptr)
        dialog->ShowDialog(platform::Cp("Ошибка"), cp1251Message, "");
    else
        platform::ShowErrorBox(cp1251Message);
}

void InstallDialogErrorReport(MessageDialog* dialog) {
    platform::SetErrorReportHandler(
        [box = QPointer<MessageDialog>(dialog)](const std::string& message) {
            ShowErrorReport(box, message);
        });
}
