#include "app/MainWindow.h"

#include "animation/AnimationWindow.h"
#include "app/ClientSettings.h"
#include "app/DraftKeeper.h"
#include "app/HistoryWindow.h"
#include "app/LoginDialog.h"
#include "app/Reconnector.h"
#include "app/ServerAddress.h"
#include "app/ServerLink.h"
#include "app/SolutionWindow.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "app/WidgetMaking.h"
#include "appframe/ApplicationTray.h"
#include "appframe/WindowFonts.h"
#include "calculator/CalculatorWindow.h"
#include "calculator/HelpWindow.h"
#include "dialogs/MessageDialog.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"
#include "platform/SpeedButton.h"
#include "protocol/Messages.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// How long a login the reconnector repeats waits for the server's FEATURES; a server that
// sends none (an older one) gets the login after it.
constexpr int kOfferWaitMs = 500;

const char* const kCaption = "Клиент для системы удаленного тестирования ВЕКТА v.1.23";

// The task's caption without the standing the server puts after it in the list
// ("… — решено", "… — решено, попыток 2 из 3", "… — 2,4 из 3, попыток 3 из 3"): that
// belongs to the list, not to the task.
std::string WithoutStanding(const std::string& caption) {
    const std::string dash = platform::Cp(" — ");
    const std::size_t cut = caption.rfind(dash);
    if (cut == std::string::npos)
        return caption;
    const std::string standing = caption.substr(cut + dash.size());
    const bool solved = standing.rfind(platform::Cp("решено"), 0) == 0;
    const bool counted = !standing.empty() && standing[0] >= '0' && standing[0] <= '9' &&
                         standing.find(platform::Cp(" из ")) != std::string::npos;
    return solved || counted ? caption.substr(0, cut) : caption;
}

} // namespace

MainWindow::MainWindow(const ClientPlaces& places, QWidget* parent) : QWidget(parent) {
    setObjectName("mainWindow");
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(appframe::PixelFont(QString::fromUtf8("MS Sans Serif"), 11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    CreateConnectionBar();
    CreateMenu();
    taskListView_ = new TaskListView(this);
    taskView_ = new TaskView(this);
    taskView_->SetMenu({tasksButton_, animationButton_, calculatorButton_, helpButton_});
    connect(taskListView_, &TaskListView::taskChosen, this, &MainWindow::requestTask);
    connect(taskView_, &TaskView::resultReady, this, &MainWindow::sendResult);
    connect(taskView_, &TaskView::sendRefused, this, &MainWindow::showSendError);
    connect(taskView_, &TaskView::historyRequested, this, &MainWindow::requestHistory);
    connect(taskView_, &TaskView::solutionRequested, this, &MainWindow::requestSolution);

    InstallErrorReport();

    link_ = new ServerLink(this);
    reconnector_ = new Reconnector(this);
    connect(reconnector_, &Reconnector::waitChanged, this, &MainWindow::showConnectionState);
    connect(reconnector_, &Reconnector::tryNow, this, &MainWindow::reconnect);
    WireServerLink();

    draftsFolder_ =
        places.draftsFolder.isEmpty() ? DraftStore::DefaultFolder() : places.draftsFolder;
    drafts_ = new DraftKeeper(taskView_, DraftStore(draftsFolder_), this);
    settings_ = places.settingsFile.isEmpty()
                    ? std::make_unique<ClientSettings>()
                    : std::make_unique<ClientSettings>(places.settingsFile);
    if (const auto address = settings_->serverAddress())
        addressField_->setText(*address);

    resize(kMinimumSize);
    setMinimumSize(kMinimumSize);
    showConnectionState();
    ArrangePanes();
    taskView_->PrepareStatementImage();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    // The link's last events must not reach a window half gone.
    link_->disconnect(this);
    platform::SetErrorReportHandler({});
}

// ---- the windows built when first needed ----

// Every error that no handler catches ends in the message dialog, which the first report
// brings into being.
void MainWindow::InstallErrorReport() {
    platform::SetErrorReportHandler(
        [this](const std::string& message) { ShowErrorReport(&Messages(), message); });
}

MessageDialog& MainWindow::Messages() {
    if (!messageDialog_) {
        messageDialog_ = std::make_unique<MessageDialog>();
        // What came while the box was up is handed on once it has closed for good: the box
        // may come up again at once with a report that waited for it.
        connect(messageDialog_.get(), &QDialog::finished, link_, &ServerLink::DispatchWaiting,
                Qt::QueuedConnection);
    }
    return *messageDialog_;
}

LoginDialog& MainWindow::Login() {
    if (!loginDialog_) {
        loginDialog_ = std::make_unique<LoginDialog>();
        connect(loginDialog_.get(), &LoginDialog::loginRequested, this, &MainWindow::logIn);
        if (const auto user = settings_->userName()) {
            loginDialog_->userField->setText(*user);
            loginDialog_->passwordField->clear(); // the default password is not this user's
        }
    }
    return *loginDialog_;
}

HelpWindow& MainWindow::Help() {
    if (!helpWindow_)
        helpWindow_ = std::make_unique<HelpWindow>();
    return *helpWindow_;
}

AnimationWindow& MainWindow::Animation() {
    if (!animationWindow_) {
        animationWindow_ = std::make_unique<AnimationWindow>();
        if (!animationTitle_.isEmpty())
            animationWindow_->setWindowTitle(animationTitle_);
    }
    return *animationWindow_;
}

CalculatorWindow& MainWindow::Calculator() {
    if (!calculatorWindow_)
        calculatorWindow_ = std::make_unique<CalculatorWindow>(&Messages(), &Help());
    return *calculatorWindow_;
}

HistoryWindow& MainWindow::History() {
    if (!historyWindow_) {
        historyWindow_ = std::make_unique<HistoryWindow>();
        connect(historyWindow_.get(), &HistoryWindow::submissionChosen, this,
                &MainWindow::putBackSubmission);
    }
    return *historyWindow_;
}

SolutionWindow& MainWindow::Solution() {
    if (!solutionWindow_)
        solutionWindow_ = std::make_unique<SolutionWindow>();
    return *solutionWindow_;
}

// ---- wiring ----

void MainWindow::WireServerLink() {
    link_->SetHoldWhile([this] { return messageDialog_ && messageDialog_->isVisible(); });
    connect(link_, &ServerLink::stateChanged, this, &MainWindow::showConnectionState);
    connect(link_, &ServerLink::connectedToServer, this, &MainWindow::serverConnected);
    connect(link_, &ServerLink::connectionEnded, this, &MainWindow::connectionEnded);
    connect(link_, &ServerLink::loginRequested, this, &MainWindow::askForLogin);
    connect(link_, &ServerLink::taskListArrived, this, &MainWindow::showTaskList);
    connect(link_, &ServerLink::taskArrived, this, &MainWindow::showTask);
    connect(link_, &ServerLink::messageArrived, this, &MainWindow::showMessage);
    connect(link_, &ServerLink::historyArrived, this, &MainWindow::showHistory);
    connect(link_, &ServerLink::solutionArrived, this, &MainWindow::showSolution);
    connect(link_, &ServerLink::solutionOpened, this, &MainWindow::solutionOpened);
    connect(link_, &ServerLink::stateChanged, this, &MainWindow::offerHistory);
    connect(link_, &ServerLink::offerAnswered, this, &MainWindow::offerHistory);
    // The token presented is the one of the user about to log in: the one the client logs
    // in again by itself, else the one the login dialog offers.
    link_->KeepDeviceTokens(
        {[this](const std::string& server) {
             const QString user = !reconnector_->LoginUser().empty()
                                      ? platform::ToQString(reconnector_->LoginUser())
                                      : settings_->userName().value_or(QString());
             return platform::ToCp1251(
                 settings_->deviceToken(platform::ToQString(server), user).value_or(QString()));
         },
         [this](const std::string& server, const std::string& user, const std::string& token) {
             settings_->rememberDeviceToken(platform::ToQString(server), platform::ToQString(user),
                                            platform::ToQString(token));
         }});
    offerWait_ = new QTimer(this);
    offerWait_->setSingleShot(true);
    offerWait_->setInterval(kOfferWaitMs);
    connect(offerWait_, &QTimer::timeout, this, &MainWindow::logInAgain);
    connect(link_, &ServerLink::offerAnswered, this, [this] {
        if (offerWait_->isActive()) {
            offerWait_->stop();
            logInAgain();
        }
    });
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    taskView_->Arrange();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (started_)
        return;
    started_ = true;
    QTimer::singleShot(0, this, &MainWindow::FinishStart);
}

void MainWindow::FinishStart() {
    tray_ = new ApplicationTray(this);
    DraftStore(draftsFolder_).Prune(QDateTime::currentDateTimeUtc());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    drafts_->SaveNow();
    QWidget::closeEvent(event);
    QCoreApplication::quit(); // closing the main window ends the program
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangePanes();
    if (event->oldSize().isValid() && taskView_->TaskShown())
        taskView_->KeepFocusedRowInView();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter sends the answers only from an answer row or "Отправить результат": a key
    // meant for another field must not spend an attempt. In the address field it connects.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && taskView_->SendsOnEnter(focusWidget())) {
        taskView_->Send();
        return;
    }
    if (enter && focusWidget() == addressField_) {
        connectToServer();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::SetServerAddress(const QString& address) {
    addressField_->setText(address);
}

void MainWindow::connectToServer() {
    reconnector_->Cancel();  // the student's own connection replaces any waiting
    link_->CloseOnPurpose(); // the state line says so, also if the address is refused
    const platform::Result<ServerAddress> address =
        ParseServerAddress(platform::ToCp1251(addressField_->text()));
    if (!address) {
        platform::ReportError(address.Error().message);
        return;
    }
    // A new connection starts clean: nothing of the last server is shown any more.
    if (!taskView_->GreetingShown() || taskView_->TaskShown()) { // before the first list
        taskListView_->Clear();                                  // the greeting stays
        drafts_->Close();
        reconnector_->TaskOpened({}, {});
        taskView_->Clear();
        animationButton_->hide();
        if (animationWindow_)
            animationWindow_->hide();
    }
    connectedAddress_ = *address;
    farewell_.clear();
    link_->ConnectTo(*address);
}

void MainWindow::showConnectionState() {
    stateLine_->setStyleSheet({});
    const bool waiting = reconnector_->CurrentStage() == Reconnector::Stage::Waiting;
    QString text =
        waiting ? reconnector_->WaitText() : platform::ToQString(link_->State().StateText());
    // The server said why it closed the connection: that stays in view until the client is
    // back.
    const bool ended = link_->State().CurrentPhase() == ConnectionState::Phase::NotConnected;
    if ((waiting || ended) && !farewell_.isEmpty())
        text = farewell_ + " " + text;
    stateLine_->setText(text);
    // What went wrong last is there for a look while the client reconnects by itself.
    stateLine_->setToolTip(reconnector_->Busy() ? platform::ToQString(reconnector_->LastReport())
                                                : QString());
    ArrangeConnectionBar();
    // A login dialog left open after its connection ended would send into nothing.
    if (ended && loginDialog_ && loginDialog_->isVisible())
        loginDialog_->reject();
}

// The reconnection is over: the state line says again where and as whom the student is.
void MainWindow::finishReconnection() {
    const bool reconnected = reconnector_->Busy();
    reconnector_->Finish();
    farewell_.clear();
    if (reconnected)
        showConnectionState();
}

bool MainWindow::explainIfNothingHappens() {
    const std::string why = link_->State().WhyNothingHappens();
    if (why.empty())
        return false;
    stateLine_->setStyleSheet("color: rgb(192, 0, 0)");
    stateLine_->setText(platform::ToQString(why));
    ArrangeConnectionBar();
    return true;
}

void MainWindow::requestTaskList() {
    if (explainIfNothingHappens() || !link_->IsConnected())
        return;
    link_->Send(WriteTaskListRequest());
    animationButton_->hide();
    if (animationWindow_)
        animationWindow_->hide();
}

void MainWindow::requestTask(const std::string& name, const std::string& caption) {
    if (explainIfNothingHappens() || !link_->IsConnected())
        return;
    askedTaskName_ = name;
    askedTaskCaption_ = caption;
    link_->Send(WriteTaskRequest(name));
}

void MainWindow::openHelp() {
    Help().Open(this);
}

void MainWindow::openCalculator() {
    // The calculator takes the keyboard at once, also where no window manager gives the
    // focus to a window that appears.
    CalculatorWindow& calculator = Calculator();
    calculator.show();
    calculator.raise();
    calculator.activateWindow();
}

void MainWindow::openAnimation() {
    Animation().show();
}

void MainWindow::askForLogin() {
    reconnector_->Cancel(); // the server wants the student's own login
    link_->LoginAsked();
    LoginDialog& login = Login();
    // With the name remembered, the password is what is left to type.
    const bool nameKnown = !login.userField->text().isEmpty();
    if (nameKnown && login.passwordField->text().isEmpty()) // once the dialog is up
        QTimer::singleShot(0, login.passwordField, qOverload<>(&QWidget::setFocus));
    login.exec();
}

// A connection of the reconnector logs in again by itself; the student's own gets the
// login dialog.
void MainWindow::serverConnected() {
    if (!reconnector_->Connected()) {
        askForLogin();
        return;
    }
    if (link_->ServerOffered())
        logInAgain();
    else
        offerWait_->start(); // or until the client has answered the server's FEATURES
}

void MainWindow::logInAgain() {
    offerWait_->stop();
    if (reconnector_->CurrentStage() == Reconnector::Stage::LoggingIn && link_->IsConnected())
        logIn(reconnector_->LoginUser(), reconnector_->LoginPassword());
}

// Reported once the current event handler has returned, so that the report's modal dialog
// never runs inside the socket's own signal emission.
void MainWindow::connectionEnded(const std::string& report) {
    // The server said why it closed the connection: the state line keeps it in view while
    // the client reconnects.
    if (!link_->ClosingText().empty())
        farewell_ = platform::ToQString(link_->ClosingText());
    // A newer login of the same account took this one's place: logging in again by itself
    // would only take the place back and start a chase. The student logs in by hand.
    if (link_->ClosingReason() == kByeEvicted) {
        reconnector_->Cancel();
        QTimer::singleShot(0, this, [this, report] {
            Messages().ShowDialog(platform::Cp("Сообщение:"), report, "");
        });
        return;
    }
    if (reconnector_->ConnectionEnded(report))
        return; // the state line says it, and when the next try comes
    QTimer::singleShot(0, this, [report] { platform::ReportError(report); });
}

void MainWindow::reconnect(const ServerAddress& address) {
    connectedAddress_ = address;
    link_->ConnectTo(address);
}

void MainWindow::logIn(const std::string& user, const std::string& password) {
    link_->LogIn({user, password});
    reconnector_->LoginSent(connectedAddress_, user, password);
    loginToRemember_ = true;
}

// The server sends tasks only to a student it let in: the login is worth remembering.
void MainWindow::rememberLogin() {
    if (!loginToRemember_)
        return;
    loginToRemember_ = false;
    settings_->rememberLogin(platform::ToQString(connectedAddress_.Text()),
                             platform::ToQString(reconnector_->LoginUser()));
}

void MainWindow::showMessage(const std::string& text) {
    // The server's greeting after a login repeated by the reconnector goes to the state
    // line: nobody may be there to click a box away.
    if (reconnector_->CurrentStage() == Reconnector::Stage::LoggingIn) {
        const QString greeting = platform::ToQString(text);
        stateLine_->setText(greeting);
        ArrangeConnectionBar();
        if (reconnector_->Greeted()) {
            requestTask(reconnector_->TaskName(), reconnector_->TaskCaption());
        } else { // logged in again with no task to reopen: the greeting is kept for a look
            showConnectionState();
            stateLine_->setToolTip(greeting);
        }
        return;
    }
    Messages().ShowDialog(platform::Cp("Сообщение:"), text, "");
}

void MainWindow::showTaskList(const std::vector<QuestListEntry>& entries) {
    rememberLogin();
    finishReconnection();
    drafts_->Close();
    reconnector_->TaskOpened({}, {});
    taskListView_->ShowList(entries);
    taskView_->HideGreeting();
    taskListView_->show();
    taskView_->hide();
}

void MainWindow::showTask(const QuestSections& task) {
    rememberLogin();
    animationButton_->setVisible(!task.animate.empty());
    finishReconnection();
    drafts_->Close(); // the rows of the last task are saved before the view takes these
    // A diagram that cannot be read is reported after the whole task has been set up: the
    // student still gets the statement and the answer rows.
    const platform::Status shown = taskView_->ShowTask(task, askedTaskCaption_);
    shownTaskName_ = askedTaskName_;
    offerHistory();
    if (historyWindow_) // the submissions listed were another task's, or are out of date
        historyWindow_->hide();
    if (solutionWindow_)
        solutionWindow_->hide();
    // The animation window may be built later, and takes this title then.
    animationTitle_ = QString::fromUtf8("Анимация задачи: ") +
                      platform::ToQString(WithoutStanding(askedTaskCaption_));
    if (animationWindow_)
        animationWindow_->setWindowTitle(animationTitle_);
    drafts_->Open({reconnector_->LoginAddress().Text(), reconnector_->LoginUser(), askedTaskName_});
    reconnector_->TaskOpened(askedTaskName_, askedTaskCaption_);
    if (!task.animate.empty())
        Animation().LoadAnimation(task.animate);
    revealTask();
    if (!shown)
        QTimer::singleShot(0, this,
                           [error = shown.Error().message] { platform::ReportError(error); });
}

// The pane changes as soon as the task is laid out.
void MainWindow::revealTask() {
    taskListView_->hide();
    taskView_->show();
    ArrangePanes();
    taskView_->Reveal();
}

void MainWindow::showSendError(const std::string& message, const std::string& formula) {
    Messages().ShowDialog(platform::Cp("Ошибка"), message, formula);
}

void MainWindow::sendResult(const std::string& payload) {
    if (!link_->IsConnected()) {
        showSendError(platform::Cp("Ответ не отправлен: нет соединения с сервером."), "");
        return;
    }
    link_->Send(WriteSubmission(payload));
}

void MainWindow::offerHistory() {
    taskView_->OfferHistory(link_->OffersHistory());
    taskView_->OfferSolution(link_->OffersSolutions());
}

void MainWindow::requestSolution() {
    if (!link_->OffersSolutions())
        return;
    link_->Send(WriteSolutionRequest(shownTaskName_));
}

// Only the solution of the task the rows show is shown.
void MainWindow::showSolution(const SolutionMessage& solution) {
    if (solution.task != shownTaskName_ || !taskView_->TaskShown())
        return;
    SolutionWindow& window = Solution();
    window.ShowSolution(solution);
    window.show();
    window.raise();
    window.activateWindow();
}

void MainWindow::solutionOpened(const std::string& taskName) {
    if (taskName == shownTaskName_ && taskView_->TaskShown())
        taskView_->SetSolutionAvailable(true);
}

void MainWindow::requestHistory() {
    if (!link_->OffersHistory())
        return;
    link_->Send(WriteHistoryRequest(shownTaskName_));
}

// Only the submissions of the task the rows show are listed.
void MainWindow::showHistory(const HistoryMessage& history) {
    if (history.task != shownTaskName_ || !taskView_->TaskShown())
        return;
    HistoryWindow& window = History();
    window.ShowHistory(history, taskView_->AnswerNames());
    window.show();
    window.raise();
    window.activateWindow();
}

void MainWindow::putBackSubmission(int index) {
    if (const auto answers = History().AnswersAt(index); answers && taskView_->TaskShown()) {
        taskView_->PutBackDrawing(History().DrawingAt(index));
        taskView_->PutBackAnswers(*answers);
    }
}
