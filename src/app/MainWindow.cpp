#include "app/MainWindow.h"

#include "animation/AnimationWindow.h"
#include "app/LoginDialog.h"
#include "app/ServerAddress.h"
#include "app/ServerLink.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "calculator/ApplicationTray.h"
#include "calculator/CalculatorWindow.h"
#include "calculator/HelpWindow.h"
#include "dialogs/MessageDialog.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"
#include "platform/SpeedButton.h"
#include "protocol/Frames.h"
#include "protocol/QuestSections.h"

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

using platform::MakeSpeedButton;

namespace {

const char* const kCaption = "Клиент для системы удаленного тестирования ВЕКТА v.1.23";
const char* const kOrganisation = "Кафедра теоретической механики";

QFont FontOf(const char* name, int pixelHeight) {
    QFont font(QString::fromUtf8(name));
    font.setPixelSize(pixelHeight);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    return label;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("mainWindow");
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(FontOf("MS Sans Serif", 11));
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

    messageDialog_ = std::make_unique<MessageDialog>();
    InstallDialogErrorReport(messageDialog_.get());
    loginDialog_ = std::make_unique<LoginDialog>();
    connect(loginDialog_.get(), &LoginDialog::loginRequested, this, &MainWindow::logIn);
    helpWindow_ = std::make_unique<HelpWindow>();
    animationWindow_ = std::make_unique<AnimationWindow>();
    calculatorWindow_ = std::make_unique<CalculatorWindow>(messageDialog_.get(), helpWindow_.get());
    tray_ = new ApplicationTray(this);

    link_ = new ServerLink(this);
    WireServerLink();

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

void MainWindow::CreateConnectionBar() {
    connectionBar_ = new QFrame(this);
    connectionBar_->setObjectName("connectionBar");
    connectionBar_->setFrameStyle(QFrame::Panel | QFrame::Plain);
    connectButton_ =
        MakeSpeedButton(connectionBar_, "connectButton", "Войти на сервер", {4, 4, 113, 29});
    organisationLabel_ = MakeLabel(connectionBar_, "organisationLabel", kOrganisation);
    organisationLabel_->setFont(FontOf("Impact", 16));
    organisationLabel_->setStyleSheet("color: rgb(0, 128, 0)");
    organisationLabel_->adjustSize();
    organisationLabel_->move(organisationLabel_->x(), 8);
    MakeLabel(connectionBar_, "addressLabel", "Server IP:")->move(9, 45);
    addressField_ = new QLineEdit("127.0.0.1", connectionBar_);
    addressField_->setObjectName("addressField");
    addressField_->setGeometry(58, 41, 103, 21);
    stateLine_ = MakeLabel(connectionBar_, "stateLine", "");
    stateLine_->setTextFormat(Qt::PlainText);
    stateLine_->move(170, 45);
    connect(connectButton_, &QToolButton::clicked, this, &MainWindow::connectToServer);
}

void MainWindow::CreateMenu() {
    menuPanel_ = new QFrame(this);
    menuPanel_->setObjectName("menuPanel");
    menuPanel_->setFrameStyle(QFrame::Panel | QFrame::Plain);
    menuPanel_->setFont(FontOf("Comic Sans MS", 16));
    QLabel* menuLabel = MakeLabel(menuPanel_, "menuLabel", "Меню: ");
    menuLabel->setFont(FontOf("Comic Sans MS", 19));
    menuLabel->adjustSize();
    menuLabel->move(32, 16);
    tasksButton_ = MakeSpeedButton(menuPanel_, "tasksButton", "Задания", {8, 112, 117, 33});
    animationButton_ =
        MakeSpeedButton(menuPanel_, "animationButton", "Анимация", {8, 144, 117, 33});
    calculatorButton_ =
        MakeSpeedButton(menuPanel_, "calculatorButton", "Калькулятор", {8, 191, 117, 33});
    helpButton_ = MakeSpeedButton(menuPanel_, "helpButton", "Помощь", {8, 224, 117, 33});
    animationButton_->hide(); // shown while the task shown has an animation
    connect(tasksButton_, &QToolButton::clicked, this, &MainWindow::requestTaskList);
    connect(animationButton_, &QToolButton::clicked, this, &MainWindow::openAnimation);
    connect(calculatorButton_, &QToolButton::clicked, this, &MainWindow::openCalculator);
    connect(helpButton_, &QToolButton::clicked, this, &MainWindow::openHelp);
}

void MainWindow::WireServerLink() {
    link_->SetHoldWhile([this] { return messageDialog_->isVisible(); });
    // What came while the box was up is handed on once it has closed for good: the box
    // may come up again at once with a report that waited for it.
    connect(messageDialog_.get(), &QDialog::finished, link_, &ServerLink::DispatchWaiting,
            Qt::QueuedConnection);
    connect(link_, &ServerLink::stateChanged, this, &MainWindow::showConnectionState);
    connect(link_, &ServerLink::connectedToServer, this, &MainWindow::askForLogin);
    connect(link_, &ServerLink::loginRequested, this, &MainWindow::askForLogin);
    connect(link_, &ServerLink::taskListArrived, this, &MainWindow::showTaskList);
    connect(link_, &ServerLink::taskArrived, this, &MainWindow::showTask);
    connect(link_, &ServerLink::messageArrived, this, &MainWindow::showMessage);
}

void MainWindow::ArrangePanes() {
    const int w = width();
    const int h = height();
    connectionBar_->setGeometry(0, 0, w, kConnectionBarHeight);
    menuPanel_->setGeometry(0, kConnectionBarHeight, kMenuWidth, h - kConnectionBarHeight);
    const QRect client(kMenuWidth, kConnectionBarHeight, w - kMenuWidth, h - kConnectionBarHeight);
    taskListView_->setGeometry(client);
    taskView_->setGeometry(client);
    ArrangeConnectionBar();
    taskView_->Arrange();
}

void MainWindow::ArrangeConnectionBar() {
    organisationLabel_->move(connectionBar_->width() - organisationLabel_->width() - 30,
                             organisationLabel_->y());
    stateLine_->resize(std::max(0, connectionBar_->width() - stateLine_->x() - 8),
                       stateLine_->sizeHint().height());
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    taskView_->Arrange();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QCoreApplication::quit(); // closing the main window ends the program
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangePanes();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // "Отправить результат" is the window's default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && taskView_->TaskShown()) {
        taskView_->Send();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::SetServerAddress(const QString& address) {
    addressField_->setText(address);
}

void MainWindow::connectToServer() {
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
        taskView_->Clear();
        animationButton_->hide();
        animationWindow_->hide();
    }
    link_->ConnectTo(*address);
}

void MainWindow::showConnectionState() {
    stateLine_->setStyleSheet({});
    stateLine_->setText(platform::ToQString(link_->State().StateText()));
    ArrangeConnectionBar();
    // A login dialog left open after its connection ended would send into nothing.
    const bool ended = link_->State().CurrentPhase() == ConnectionState::Phase::NotConnected;
    if (ended && loginDialog_->isVisible())
        loginDialog_->reject();
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
    link_->Send("<GETQUESTLIST:1>1");
    animationButton_->hide();
    animationWindow_->hide();
}

void MainWindow::requestTask(const std::string& name) {
    if (explainIfNothingHappens() || !link_->IsConnected())
        return;
    link_->Send(BuildFrame("GETQUEST", name));
}

void MainWindow::openHelp() {
    helpWindow_->exec();
}

void MainWindow::openCalculator() {
    // The calculator takes the keyboard at once, also where no window manager gives the
    // focus to a window that appears.
    calculatorWindow_->show();
    calculatorWindow_->raise();
    calculatorWindow_->activateWindow();
}

void MainWindow::openAnimation() {
    animationWindow_->show();
}

void MainWindow::askForLogin() {
    link_->LoginAsked();
    loginDialog_->exec();
}

void MainWindow::logIn(const std::string& user, const std::string& password) {
    link_->Send(BuildFrame("LOGIN", user + ";" + password));
    link_->LoginSent(user);
}

void MainWindow::showMessage(const std::string& message) {
    messageDialog_->ShowDialog(platform::Cp("Сообщение:"), ReadPayload(message), "");
}

void MainWindow::showTaskList(const std::string& message) {
    taskListView_->ShowList(message);
    taskView_->HideGreeting();
    taskListView_->show();
    taskView_->hide();
}

void MainWindow::showTask(const std::string& message) {
    const QuestSections task = ReadQuestSections(message);
    animationButton_->setVisible(!task.animate.empty());
    // A diagram or animation that cannot be read is reported after the whole task has
    // been set up: the student still gets the statement and the answer rows.
    std::string error = taskView_->ShowTask(task);
    if (!task.animate.empty()) {
        const std::string animationError = animationWindow_->LoadAnimation(task.animate);
        if (error.empty())
            error = animationError;
    }
    revealTask();
    if (!error.empty())
        QTimer::singleShot(0, this, [error] { platform::ReportError(error); });
}

// The pane changes as soon as the task is laid out.
void MainWindow::revealTask() {
    taskListView_->hide();
    taskView_->show();
    ArrangePanes();
    taskView_->Reveal();
}

void MainWindow::showSendError(const std::string& message, const std::string& formula) {
    messageDialog_->ShowDialog(platform::Cp("Ошибка"), message, formula);
}

void MainWindow::sendResult(const std::string& payload) {
    if (!link_->IsConnected()) {
        showSendError(platform::Cp("Ответ не отправлен: нет соединения с сервером."), "");
        return;
    }
    link_->Send(BuildFrame("SETRESULTQUEST", payload));
}
