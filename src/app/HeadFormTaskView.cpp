// The main window's task view: a QUEST shows the statement, the diagram and the answer
// rows in ScrollBox2; "Отправить результат" sends the answers. The decisions are made by
// the plain code of QuestTextLayout, QuestImage, AnswerRows and ResultPayload; here they
// become widgets and pictures.

#include "app/HeadForm.h"

#include "animation/AnimateForm.h"
#include "app/QuestImage.h"
#include "app/QuestSections.h"
#include "app/QuestTextLayout.h"
#include "app/ResultPayload.h"
#include "dialogs/DialogPanel.h"
#include "eqedit/EqEdit.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kQuestPauseMs = 100;
constexpr int kNameFieldWidth = 60;

platform::Color ToColor(const QColor& color) {
    return platform::Rgb(color.red(), color.green(), color.blue());
}

} // namespace

void TClientVantor::HandleQuest(const std::string& message) {
    QuestSections sections = ReadQuestSections(message);
    QuestText = std::move(sections.quest);
    ImageScript = std::move(sections.image);
    RequestText = std::move(sections.request);
    AnimateScript = std::move(sections.animate);
    SpeedButton7->setVisible(!AnimateScript.empty());

    // A diagram or animation that cannot be read is reported after the whole task has been
    // set up: the student still gets the statement and the answer rows of this task.
    std::string error = DrawQuestImage();
    if (!AnimateScript.empty() && AnimateForms != nullptr) {
        try {
            AnimateForms->LoadAnimation(AnimateScript);
        } catch (const platform::Error& animationError) {
            if (error.empty())
                error = animationError.what();
        }
    }
    CreateAnswerEditors();
    LayoutTaskView();
    ShowAnswerEditors();
    SendResult->show();

    // The pane changes after a short pause that leaves the event loop running.
    const int generation = ++questGeneration_;
    QTimer::singleShot(kQuestPauseMs, this, [this, generation] { ShowTaskPane(generation); });
    if (!error.empty())
        throw platform::Error(error);
}

void TClientVantor::ShowTaskPane(int generation) {
    if (generation != questGeneration_)
        return;
    ScrollBox1->hide();
    ScrollBox2->show();
    FormResize();
    ScrollBox2->verticalScrollBar()->setValue(0);
    if (AnswerCount > 0)
        AnswerEditors[0]->setFocus(Qt::OtherFocusReason);
}

void TClientVantor::ClearTaskView() {
    ++questGeneration_;
    QuestText.clear();
    ImageScript.clear();
    RequestText.clear();
    AnimateScript.clear();
    AnswerNames.clear();
    AnswerCount = 0;
    for (std::size_t row = 0; row < kMaxAnswerRows && NameEditors[row] != nullptr; ++row) {
        NameEditors[row]->hide();
        AnswerEditors[row]->hide();
    }
    DiagramBitmap = QImage();
    Image1Bitmap.fill(palette().color(QPalette::Button));
    Image1->setPixmap(QPixmap::fromImage(Image1Bitmap));
    SendResult->hide();
    ScrollBox2->hide();
}

// ---- layout ----

int TClientVantor::TaskPaneWidth() const {
    return ScrollBox2->width();
}

// The resize part of the task view: the statement wrapped anew, the diagram copied under
// it, the rows and the button under the diagram.
void TClientVantor::LayoutTaskView() {
    if (!DiagramBitmap.isNull()) {
        Image1->resize(TaskPaneWidth() - 20, Image1->height());
        LayoutQuestText();
        PlaceQuestImage();
        LayoutAnswerEditors();
        PlaceSendResult();
    }
    ResizeTaskViewContent();
}

// The button goes under the last row, or under the picture when the task asks for nothing.
void TClientVantor::PlaceSendResult() {
    const QWidget* above =
        AnswerCount > 0
            ? static_cast<QWidget*>(AnswerEditors[static_cast<std::size_t>(AnswerCount - 1)])
            : Image1;
    const int aboveBottom = above->geometry().bottom() + 1 + (AnswerCount > 0 ? 0 : 10);
    SendResult->resize(SendResult->sizeHint());
    const SendPlace place =
        PlaceSendButton(TaskPaneWidth(), aboveBottom, SendResult->width(), SendResult->height());
    SendResult->move(place.left, place.top);
    Label3->move(Label3->x(), place.spacerTop);
}

// The scrolled content covers everything the pane shows, and never less than the pane.
void TClientVantor::ResizeTaskViewContent() {
    const QSize box = ScrollBox2Size();
    int bottom = std::max(Image1->geometry().bottom(), Label3->geometry().bottom());
    if (!SendResult->isHidden())
        bottom = std::max(bottom, SendResult->geometry().bottom());
    const int height = std::max(box.height(), bottom + 1);
    const int scrollBar =
        height > box.height() ? ScrollBox2->verticalScrollBar()->sizeHint().width() : 0;
    ScrollBox2->widget()->resize(box.width() - scrollBar, height);
}

void TClientVantor::LayoutQuestText() {
    const QuestTextLayout layout = [&] {
        QImage surface(1, 1, QImage::Format_RGB32); // measures only
        platform::QtCanvas measure(&surface);
        return ::LayoutQuestText(QuestText, Image1->width(), measure);
    }();
    Image1Bitmap = QImage(std::max(1, TaskPaneWidth() - 10), layout.height, QImage::Format_RGB32);
    Image1Bitmap.fill(palette().color(QPalette::Button));
    {
        platform::QtCanvas canvas(&Image1Bitmap);
        canvas.SetBrushStyle(platform::BrushStyle::Clear);
        DrawQuestText(canvas, layout);
    }
    Image1->resize(Image1->width(), layout.height);
}

// Draws the diagram once per task; returns the message of a header or statement that
// could not be read (the box keeps what was drawn before it).
std::string TClientVantor::DrawQuestImage() {
    const QuestImageHeader header = ReadQuestImageHeader(ImageScript);
    DiagramBitmap = QImage(header.size.width, header.size.height, QImage::Format_RGB32);
    std::string error;
    {
        platform::QtCanvas canvas(&DiagramBitmap);
        error = ::DrawQuestImage(DiagramContext, canvas, header.size, ImageScript,
                                 ToColor(palette().color(QPalette::Button)));
    }
    DiagramContext.canvas = nullptr; // the canvas lived for this drawing only
    return header.error.empty() ? error : header.error;
}

void TClientVantor::PlaceQuestImage() {
    const QuestImagePlace place = ::PlaceQuestImage(
        Image1->width(), Image1Bitmap.height(), {DiagramBitmap.width(), DiagramBitmap.height()});
    QImage picture(Image1Bitmap.width(), place.pictureHeight, QImage::Format_RGB32);
    picture.fill(palette().color(QPalette::Button));
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, Image1Bitmap);
        painter.drawImage(place.x, place.y, DiagramBitmap);
    }
    Image1Bitmap = picture;
    Image1->setPixmap(QPixmap::fromImage(Image1Bitmap));
    Image1->resize(Image1->width(), place.pictureHeight);
}

// ---- answer rows ----

void TClientVantor::CreateAnswerRow(std::size_t row) {
    QWidget* content = ScrollBox2->widget();
    auto* name = new TEqEdit(content);
    name->setObjectName(QString("NameEditor%1").arg(row));
    name->setGeometry(0, 0, kNameFieldWidth, name->height());
    name->setEnabled(false); // shows its formula, takes no input
    name->hide();
    auto* answer = new TEqEdit(content);
    answer->setObjectName(QString("AnswerEditor%1").arg(row));
    answer->move(kNameFieldWidth + 10, 0);
    answer->hide();
    // Typing into a field out of sight brings it into view.
    answer->OnKeyDown = [this](TEqEdit* sender, int&, Qt::KeyboardModifiers) {
        ScrollBox2->ensureWidgetVisible(sender);
    };
    NameEditors[row] = name;
    AnswerEditors[row] = answer;
}

void TClientVantor::CreateAnswerEditors() {
    AnswerNames = ReadRequestNames(RequestText);
    RequestText.clear();
    for (std::size_t row = 0; row < kMaxAnswerRows && NameEditors[row] != nullptr; ++row) {
        NameEditors[row]->hide();
        AnswerEditors[row]->hide();
    }
    AnswerCount = 0;
    for (const std::string& name : AnswerNames) {
        const auto row = static_cast<std::size_t>(AnswerCount);
        if (NameEditors[row] == nullptr)
            CreateAnswerRow(row);
        NameEditors[row]->SetEquation(NameFieldText(name));
        AnswerEditors[row]->SetEquation(kEmptyAnswerText);
        ++AnswerCount;
    }
    // Tab walks the answer fields in row order and then the button.
    QWidget* previous = nullptr;
    for (std::size_t row = 0; row < static_cast<std::size_t>(AnswerCount); ++row) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, AnswerEditors[row]);
        previous = AnswerEditors[row];
    }
    if (previous != nullptr)
        QWidget::setTabOrder(previous, SendResult);
}

void TClientVantor::LayoutAnswerEditors() {
    if (AnswerCount == 0)
        return;
    std::vector<int> heights;
    for (std::size_t row = 0; row < static_cast<std::size_t>(AnswerCount); ++row)
        heights.push_back(AnswerEditors[row]->height());
    const std::vector<RowPlace> places =
        LayoutAnswerRows(TaskPaneWidth(), Image1->height(), NameEditors[0]->width(), heights);
    for (std::size_t row = 0; row < places.size(); ++row) {
        const RowPlace& place = places[row];
        NameEditors[row]->move(place.nameLeft, place.top);
        AnswerEditors[row]->setGeometry(place.answerLeft, place.top, place.answerWidth,
                                        AnswerEditors[row]->height());
    }
}

void TClientVantor::ShowAnswerEditors() {
    for (std::size_t row = 0; row < static_cast<std::size_t>(AnswerCount); ++row) {
        NameEditors[row]->show();
        AnswerEditors[row]->show();
    }
}

// ---- sending ----

void TClientVantor::ShowSendError(const std::string& message, const std::string& formula) {
    if (DiagForm != nullptr)
        DiagForm->ShowDialog(platform::Cp("Ошибка"), message, formula);
    else
        platform::ReportError(message);
}

void TClientVantor::SendResultClick() {
    std::vector<AnswerRowText> rows;
    for (std::size_t row = 0; row < static_cast<std::size_t>(AnswerCount); ++row)
        rows.push_back(
            {AnswerNames[row], NameEditors[row]->Equation(), AnswerEditors[row]->Equation()});
    const ResultPayload result = BuildResultPayload(rows);
    if (!result.ok) {
        ShowSendError(result.message, rows[result.row].nameField);
        return;
    }
    if (!Connected) {
        ShowSendError(platform::Cp("Ответ не отправлен: нет соединения с сервером."), "");
        return;
    }
    SendFrame(BuildFrame("SETRESULTQUEST", result.payload));
}
