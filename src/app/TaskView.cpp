#include "app/TaskView.h"

#include "answers/DeclaredNames.h"
#include "app/AnswerReadingLine.h"
#include "app/DrawingSurface.h"
#include "app/DrawingTools.h"
#include "app/ResultPayload.h"
#include "app/TaskNavigation.h"
#include "app/WidgetMaking.h"
#include "eqedit/FormulaField.h"
#include "platform/FontStandIns.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "tasklayout/MarkedLine.h"
#include "tasklayout/QuestImage.h"
#include "tasklayout/QuestTextLayout.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kRowMargin = 4; // kept in view around a row brought into view
constexpr int kCaptionTop = 4;

const char* const kGreeting = "     Здравствуйте, вас приветствует система\n"
                              "удаленного тестирования ВЕКТА.\n"
                              "     Для начала процедуры выполнения заданий\n"
                              "зайдите на сервер. Если на Вас нет\n"
                              "учетной записи, Вы можете получить ее,\n"
                              "обратившись на кафедру\n"
                              "теоретической механики.";

platform::Color ToColor(const QColor& color) {
    return platform::Rgb(color.red(), color.green(), color.blue());
}

} // namespace

TaskView::TaskView(QWidget* parent) : QScrollArea(parent) {
    setObjectName("taskView");
    QFont font(platform::InstalledFamily(QString::fromUtf8("MS Sans Serif")));
    font.setPixelSize(11); // the main window's font, also when the view stands alone
    setFont(font);
    setWidgetResizable(false);
    auto* content = new QWidget;
    content->setObjectName("taskContent");
    caption_ = MakeLabel(content, "taskCaption", "");
    caption_->setTextFormat(Qt::PlainText);
    caption_->move(kRowLeft, kCaptionTop);
    QFont captionFont = caption_->font();
    captionFont.setBold(true);
    caption_->setFont(captionFont);
    caption_->hide();
    statement_ = MakeLabel(content, "statement", "");
    statement_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    greeting_ = MakeLabel(content, "greeting", kGreeting);
    QFont greetingFont(platform::InstalledFamily(QString::fromUtf8("Times New Roman")));
    greetingFont.setPixelSize(19);
    greeting_->setFont(greetingFont);
    sendButton_ = new QPushButton(QString::fromUtf8("Отправить результат"), content);
    sendButton_->setObjectName("sendButton");
    sendButton_->hide();
    connect(sendButton_, &QPushButton::clicked, this, &TaskView::Send);
    historyButton_ = new QPushButton(QString::fromUtf8("Мои ответы"), content);
    historyButton_->setObjectName("historyButton");
    historyButton_->hide();
    connect(historyButton_, &QPushButton::clicked, this, &TaskView::historyRequested);
    solutionButton_ = new QPushButton(QString::fromUtf8("Решение"), content);
    solutionButton_->setObjectName("solutionButton");
    solutionButton_->setEnabled(false);
    solutionButton_->hide();
    connect(solutionButton_, &QPushButton::clicked, this, &TaskView::solutionRequested);
    bottomSpacer_ = MakeLabel(content, "bottomSpacer", "  \n ");
    drawingSurface_ = new DrawingSurface(content);
    drawingSurface_->hide();
    drawingTools_ = new DrawingTools(drawingSurface_, content);
    drawingTools_->hide();
    // A change to the drawing is kept as typing into a row is.
    connect(drawingSurface_, &DrawingSurface::drawingChanged, this, &TaskView::answersEdited);
    setWidget(content);
    // Sized in the pane's own font, which the content has taken over by now.
    greeting_->adjustSize();
    bottomSpacer_->adjustSize();
    navigation_ = new TaskNavigation(this, StatementLineHeight());
    navigation_->SetPaneRing([this] { return TabRing(); });
    navigation_->SetClickTarget(sendButton_);
    navigation_->Watch(content);
    navigation_->Watch(statement_);
    navigation_->Watch(sendButton_);
    navigation_->Watch(historyButton_);
    navigation_->Watch(solutionButton_);
    navigation_->Watch(drawingSurface_);
}

void TaskView::OfferHistory(bool offered) {
    historyOffered_ = offered;
    historyButton_->setVisible(offered && !sendButton_->isHidden());
    if (!sendButton_->isHidden()) {
        PlaceSendButton();
        ResizeContent();
    }
}

void TaskView::OfferSolution(bool offered) {
    solutionOffered_ = offered;
    solutionButton_->setVisible(offered && !sendButton_->isHidden());
    if (!sendButton_->isHidden()) {
        PlaceSendButton();
        ResizeContent();
    }
}

void TaskView::SetSolutionAvailable(bool available) {
    solutionButton_->setEnabled(available);
}

void TaskView::SetMenu(std::vector<QWidget*> menu) {
    navigation_->SetMenu(std::move(menu));
}

// The rows in order and the button, while a task is shown.
std::vector<QWidget*> TaskView::TabRing() const {
    if (!TaskShown())
        return {};
    std::vector<QWidget*> ring;
    if (drawingAsked_)
        ring.push_back(drawingSurface_); // the picture comes before the rows under it
    ring.insert(ring.end(), answerFields_.begin(), answerFields_.begin() + answerCount_);
    ring.push_back(sendButton_);
    if (!historyButton_->isHidden())
        ring.push_back(historyButton_);
    if (!solutionButton_->isHidden() && solutionButton_->isEnabled())
        ring.push_back(solutionButton_);
    return ring;
}

bool TaskView::SendsOnEnter(const QWidget* focused) const {
    // Enter in the picture edits the selected object's name instead.
    const std::vector<QWidget*> ring = TabRing();
    return focused != nullptr && focused != drawingSurface_ &&
           std::find(ring.begin(), ring.end(), focused) != ring.end();
}

FormulaField* TaskView::AnswerField(int row) const {
    return answerFields_.at(static_cast<std::size_t>(row));
}

FormulaField* TaskView::NameField(int row) const {
    return nameFields_.at(static_cast<std::size_t>(row));
}

AnswerReadingLine* TaskView::ReadingLine(int row) const {
    return readingLines_.at(static_cast<std::size_t>(row));
}

QSize TaskView::PaneSize() const {
    return maximumViewportSize();
}

void TaskView::PrepareStatementImage() {
    const QSize box = PaneSize();
    statement_->resize(box.width() - 20, box.height());
    statementImage_ =
        platform::SurfaceImage(box.width() - 10, box.height() - 10, devicePixelRatio());
    FillStatementImage();
}

int TaskView::StatementImageWidth() const {
    return std::max(1, width() - 10);
}

void TaskView::FillStatementImage() {
    laidOutWidth_ = -1;
    statementImage_.fill(palette().color(QPalette::Button));
    statement_->setPixmap(QPixmap::fromImage(statementImage_));
}

void TaskView::CentreGreeting() {
    const QSize box = PaneSize();
    greeting_->move((box.width() - greeting_->width()) / 2,
                    (box.height() - greeting_->height()) / 2);
}

void TaskView::HideGreeting() {
    greeting_->hide();
}

bool TaskView::GreetingShown() const {
    return !greeting_->isHidden();
}

bool TaskView::TaskShown() const {
    return sendButton_->isVisible();
}

platform::Status TaskView::ShowTask(const QuestSections& task, const std::string& caption) {
    questText_ = task.quest;
    imageScript_ = task.image;
    const platform::Status drawn = DrawQuestImage();
    answerNames_ = ReadRequestNames(task.request);
    std::string unreadNames; // a name the server declares badly is its own to judge
    declaredNames_ = answers::NamesOf(answers::ReadDeclaredNames(task.variables, unreadNames));
    namesDeclared_ = task.namesDeclared;
    drawingAsked_ = task.drawing;
    if (drawingAsked_) {
        drawingSurface_->SetPicture(task.image, diagramSize_, task.drawingReach);
        drawingTools_->SetTask(task.drawingMagnitudes, {declaredNames_, {}, namesDeclared_});
    }
    drawingSurface_->setVisible(drawingAsked_);
    drawingTools_->setVisible(drawingAsked_);
    ReadRowUnits(task);
    CreateAnswerFields();
    PlaceCaption(caption);
    laidOutWidth_ = -1;
    LayoutTask();
    ShowAnswerFields();
    sendButton_->show();
    historyButton_->setVisible(historyOffered_);
    solutionButton_->setVisible(solutionOffered_);
    solutionButton_->setEnabled(task.solution);
    ++generation_;
    return drawn;
}

void TaskView::SetCaption(const std::string& caption) {
    PlaceCaption(caption);
    laidOutWidth_ = -1;
    LayoutTask();
}

void TaskView::PlaceCaption(const std::string& caption) {
    caption_->setText(platform::ToQString(caption));
    caption_->setVisible(!caption.empty());
    caption_->adjustSize();
    // The statement moves down by the caption's line.
    statement_->move(statement_->x(), caption.empty() ? 0 : caption_->geometry().bottom() + 4);
}

std::vector<std::string> TaskView::AnswerTexts() const {
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row)
        texts.push_back(answerFields_[row]->Equation());
    return texts;
}

void TaskView::SetAnswerTexts(const std::vector<std::string>& texts) {
    const std::size_t rows = std::min(texts.size(), static_cast<std::size_t>(answerCount_));
    for (std::size_t row = 0; row < rows; ++row)
        answerFields_[row]->SetEquation(texts[row]);
}

void TaskView::PutBackDrawing(std::vector<drawing::DrawnObject> objects) {
    if (drawingAsked_)
        drawingSurface_->SetObjects(std::move(objects));
}

void TaskView::PutBackAnswers(const std::vector<std::string>& texts) {
    SetAnswerTexts(texts);
    emit answersEdited();
}

std::vector<std::string> TaskView::DrawingDraft() const {
    return drawingAsked_ ? drawing::DraftTexts(drawingSurface_->Objects())
                         : std::vector<std::string>{};
}

void TaskView::SetDrawingDraft(const std::vector<std::string>& texts) {
    if (drawingAsked_)
        drawingSurface_->SetObjects(drawing::ReadDraftTexts(texts));
}

void TaskView::Reveal() {
    // The task opens at the top of its statement, which the student reads first; the first
    // row takes the keyboard without scrolling it away.
    if (answerCount_ > 0)
        answerFields_[0]->setFocus(Qt::OtherFocusReason);
    else if (drawingAsked_)
        drawingSurface_->setFocus(Qt::OtherFocusReason);
    verticalScrollBar()->setValue(0);
}

void TaskView::KeepFocusedRowInView() {
    const QWidget* focused = focusWidget();
    for (int row = 0; row < answerCount_; ++row)
        if (answerFields_[static_cast<std::size_t>(row)] == focused) {
            ensureWidgetVisible(readingLines_[static_cast<std::size_t>(row)], 0, kRowMargin);
            ensureWidgetVisible(answerFields_[static_cast<std::size_t>(row)], 0, kRowMargin);
        }
}

void TaskView::Clear() {
    ++generation_;
    questText_.clear();
    imageScript_.clear();
    SetCaption({});
    answerNames_.clear();
    answerCount_ = 0;
    for (std::size_t row = 0; row < kMaxAnswerRows && nameFields_[row] != nullptr; ++row) {
        nameFields_[row]->hide();
        answerFields_[row]->hide();
        readingLines_[row]->hide();
    }
    diagramImage_ = QImage();
    FillStatementImage();
    drawingAsked_ = false;
    drawingSurface_->SetObjects({});
    drawingSurface_->hide();
    drawingTools_->hide();
    sendButton_->hide();
    historyButton_->hide();
    solutionButton_->hide();
    solutionButton_->setEnabled(false);
    hide();
}

// ---- layout ----

void TaskView::Arrange() {
    CentreGreeting();
    if (laidOutWidth_ == width() && laidOutRatio_ == devicePixelRatio())
        ResizeContent(); // the pane's height alone changed: the pictures stay
    else
        LayoutTask();
}

// The statement wrapped anew with the diagram under it, the rows and the button under the
// diagram.
void TaskView::LayoutTask() {
    if (!diagramImage_.isNull()) {
        if (diagramImage_.devicePixelRatio() != devicePixelRatio())
            RedrawQuestImage();
        statement_->resize(width() - 20, statement_->height());
        LayoutQuestText();
        PlaceDrawing();
        LayoutAnswerFields();
        PlaceSendButton();
        laidOutWidth_ = width();
        laidOutRatio_ = devicePixelRatio();
    }
    ResizeContent();
}

// A window moved to a screen of another pixel density: the pictures are drawn again at the
// new density, so that they stay sharp and keep their size.
bool TaskView::event(QEvent* event) {
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::ScreenChangeInternal && laidOutWidth_ >= 0 &&
        laidOutRatio_ != devicePixelRatio())
        LayoutTask();
    return handled;
}

// The button goes under the last row, or under the picture when the task asks for nothing.
void TaskView::PlaceSendButton() {
    const QWidget* above =
        answerCount_ > 0
            ? static_cast<QWidget*>(readingLines_[static_cast<std::size_t>(answerCount_ - 1)])
        : drawingAsked_ ? static_cast<QWidget*>(drawingTools_)
                        : statement_;
    const int aboveBottom = above->geometry().bottom() + 1 + (answerCount_ > 0 ? 0 : 10);
    sendButton_->resize(sendButton_->sizeHint());
    const SendPlace place =
        ::PlaceSendButton(width(), aboveBottom, sendButton_->width(), sendButton_->height());
    sendButton_->move(place.left, place.top);
    PlaceMenuButtons(place.left, place.top);
    bottomSpacer_->move(bottomSpacer_->x(), place.spacerTop);
}

// "Мои ответы" and "Решение", those shown, at the rows' left on the send button's line, or
// under the send button when the pane is too narrow for them.
void TaskView::PlaceMenuButtons(int sendLeft, int sendTop) {
    constexpr int kGap = 6;
    historyButton_->resize(historyButton_->sizeHint());
    solutionButton_->resize(solutionButton_->sizeHint());
    int width = -kGap;
    for (const QPushButton* button : {historyButton_, solutionButton_})
        if (!button->isHidden())
            width += kGap + button->width();
    const bool beside = kRowLeft + width + kRowLeft <= sendLeft;
    int left = beside ? kRowLeft : sendLeft;
    const int top = beside ? sendTop : sendTop + sendButton_->height() + 4;
    for (QPushButton* button : {historyButton_, solutionButton_}) {
        button->move(left, top);
        if (!button->isHidden())
            left += button->width() + kGap;
    }
}

// The scrolled content covers everything the pane shows, and never less than the pane.
void TaskView::ResizeContent() {
    const QSize box = PaneSize();
    int bottom = std::max(statement_->geometry().bottom(), bottomSpacer_->geometry().bottom());
    if (!sendButton_->isHidden())
        bottom = std::max(bottom, sendButton_->geometry().bottom());
    if (!historyButton_->isHidden())
        bottom = std::max(bottom, historyButton_->geometry().bottom());
    if (!solutionButton_->isHidden())
        bottom = std::max(bottom, solutionButton_->geometry().bottom());
    const int height = std::max(box.height(), bottom + 1);
    const int scrollBar = height > box.height() ? verticalScrollBar()->sizeHint().width() : 0;
    widget()->resize(box.width() - scrollBar, height);
}

// The drawing surface lies over the diagram; its tools go under the statement's picture,
// above the rows.
void TaskView::PlaceDrawing() {
    if (!drawingAsked_)
        return;
    drawingSurface_->setGeometry(QRect(statement_->pos() + diagramPlace_, diagramSize_));
    drawingSurface_->raise();
    drawingTools_->move(kRowLeft, statement_->geometry().bottom() + 1 + kRowMargin);
    drawingTools_->Arrange(std::max(1, width() - 2 * kRowLeft - 20));
}

int TaskView::RowsTop() const {
    if (drawingAsked_)
        return drawingTools_->geometry().bottom() + 1;
    return statement_->geometry().bottom() + 1;
}

// The statement wrapped and drawn, and the diagram centred under it, on one picture.
void TaskView::LayoutQuestText() {
    QuestTextLayout layout = [&] {
        QImage surface(1, 1, QImage::Format_RGB32); // measures only
        platform::QtCanvas measure(&surface);
        return ::LayoutQuestText(questText_, statement_->width(), measure);
    }();
    if (caption_->isHidden())
        LiftToTheTop(layout);
    // In drawing coordinates: the images may hold more pixels on a high-density screen.
    const QuestImagePlace place = ::PlaceQuestImage(statement_->width(), layout.height,
                                                    {diagramSize_.width(), diagramSize_.height()});
    diagramPlace_ = QPoint(place.x, place.y);
    statementImage_ =
        platform::SurfaceImage(StatementImageWidth(), place.pictureHeight, devicePixelRatio());
    statementImage_.fill(palette().color(QPalette::Button));
    {
        platform::QtCanvas canvas(&statementImage_);
        canvas.SetBrushStyle(platform::BrushStyle::Clear);
        DrawQuestText(canvas, layout);
        canvas.Painter().drawImage(place.x, place.y, diagramImage_);
    }
    statement_->setPixmap(QPixmap::fromImage(statementImage_));
    statement_->resize(statement_->width(), place.pictureHeight);
}

// The wrap leaves a blank margin above the first line, which sets the statement apart from
// the caption. Without a caption the lines move up into it: the first starts where the
// caption would, so that the pane does not open on blank space.
void TaskView::LiftToTheTop(QuestTextLayout& layout) {
    if (layout.lines.empty())
        return;
    const int lift = layout.lines.front().top - (kCaptionTop + kSymbolRaise);
    for (QuestLine& line : layout.lines)
        line.top -= lift;
    layout.height -= lift;
}

// Draws the diagram once per task; fails with the message of a header or statement that
// could not be read (the box keeps what was drawn before it).
platform::Status TaskView::DrawQuestImage() {
    const QuestImageHeader header = ReadQuestImageHeader(imageScript_);
    diagramSize_ = QSize(header.size.width, header.size.height);
    const platform::Status drawn = RedrawQuestImage();
    if (!header.error.empty())
        return platform::Failure{header.error};
    return drawn;
}

// Draws the diagram of the task at the pane's present pixel density, from the script that
// follows its header.
platform::Status TaskView::RedrawQuestImage() {
    diagramImage_ =
        platform::SurfaceImage(diagramSize_.width(), diagramSize_.height(), devicePixelRatio());
    platform::Status drawn = platform::Done{};
    {
        platform::QtCanvas canvas(&diagramImage_);
        drawn =
            ::DrawQuestImage(diagramContext_, canvas, {diagramSize_.width(), diagramSize_.height()},
                             imageScript_, ToColor(palette().color(QPalette::Button)));
    }
    diagramContext_.canvas = nullptr; // the canvas lived for this drawing only
    return drawn;
}

// ---- sending ----

void TaskView::Send() {
    std::vector<AnswerRowText> rows;
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row)
        rows.push_back({answerNames_[row], answerFields_[row]->Equation(), RowUnit(row)});
    // The rows are read as their lines read them: a row that cannot be read, or that uses a
    // name the task does not declare, would only be refused by the server.
    std::optional<std::vector<drawing::DrawnObject>> drawn;
    if (drawingAsked_)
        drawn = drawingSurface_->Objects();
    const ResultPayload result = BuildResultPayload(rows, declaredNames_, namesDeclared_, drawn,
                                                    drawingSurface_->Board().Labels());
    if (!result) {
        const RowRefusal& refusal = result.Error();
        if (refusal.object >= 0) {
            // The object that stops the sending is selected, its name shown with the message.
            const auto index = static_cast<std::size_t>(refusal.object);
            emit sendRefused(refusal.message, index < drawingSurface_->Objects().size()
                                                  ? drawingSurface_->Objects()[index].name
                                                  : std::string());
            return;
        }
        emit sendRefused(refusal.message, nameFields_[refusal.row]->Equation());
        return;
    }
    emit resultReady(*result);
}
