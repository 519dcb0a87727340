#pragma once

#include "app/ServerAddress.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class AnimationWindow;
struct QuestListEntry;
struct QuestSections;
class QTimer;
class ClientSettings;
class DraftKeeper;
class Reconnector;

class ApplicationTray;
class CalculatorWindow;
class HelpWindow;
class HistoryWindow;
struct HistoryMessage;
class SolutionWindow;
struct SolutionMessage;
class LoginDialog;
class MessageDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class ServerLink;
class TaskListView;
class TaskView;

// Where the client keeps what outlives a run; empty: the user's own folders.
struct ClientPlaces {
    QString settingsFile; // an INI file
    QString draftsFolder;
};

// The main window: the connection bar (address, "Войти на сервер", the state line), the
// menu, and in the rest either the task list or the task pane. It owns the program's
// other windows and the link to the server, and wires them together.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The window's least size, which it has when it opens, and the task pane's size in it.
    static constexpr QSize kMinimumSize{600, 380};
    static constexpr int kConnectionBarHeight = 73;
    static constexpr int kMenuWidth = 137;
    static constexpr QSize kDefaultTaskPaneSize{kMinimumSize.width() - kMenuWidth,
                                                kMinimumSize.height() - kConnectionBarHeight};

    explicit MainWindow(const ClientPlaces& places = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Types a server address ("host", "host:port" or "[IPv6]:port", each optionally after
    // "tls://") into the address field.
    void SetServerAddress(const QString& address);

    // Shows a task as if the server had sent it.
    void showTask(const QuestSections& task);

    // The parts the window owns. The windows that are not shown at start are built the
    // first time they are needed, by these.
    ServerLink& Link() const { return *link_; }
    LoginDialog& Login();
    MessageDialog& Messages();
    HelpWindow& Help();
    AnimationWindow& Animation();
    CalculatorWindow& Calculator();
    HistoryWindow& History();
    SolutionWindow& Solution();
    Reconnector& Reconnection() const { return *reconnector_; }
    DraftKeeper& Drafts() const { return *drafts_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the start leaves until the window has been painted once: the tray icon (which
    // asks the desktop's session bus) and the pruning of old drafts (a walk of the folder).
    void FinishStart();
    void CreateConnectionBar();
    void CreateMenu();
    void WireServerLink();
    void InstallErrorReport();
    void ArrangePanes();
    void ArrangeConnectionBar();

    // The menu and the connection bar.
    void connectToServer();
    void requestTaskList();
    void openAnimation();
    void openCalculator();
    void openHelp();

    // What the server sends.
    void showTaskList(const std::vector<QuestListEntry>& entries);
    void showMessage(const std::string& text);
    void logInAgain();
    void askForLogin();
    void serverConnected();
    void connectionEnded(const std::string& report);
    void reconnect(const ServerAddress& address);
    void revealTask();

    void requestTask(const std::string& name, const std::string& caption);
    void logIn(const std::string& user, const std::string& password);
    void rememberLogin();
    void sendResult(const std::string& payload);
    void requestHistory();
    void showHistory(const HistoryMessage& history);
    void putBackSubmission(int index);
    // "Мои ответы" shows while the server of the connection offers the history, and
    // "Решение" while it shows solutions.
    void offerHistory();
    void requestSolution();
    void showSolution(const SolutionMessage& solution);
    void solutionOpened(const std::string& taskName);
    void showSendError(const std::string& message, const std::string& formula);
    void showConnectionState();
    void finishReconnection();
    bool explainIfNothingHappens(); // true when the session cannot take requests now

    QFrame* connectionBar_;
    QToolButton* connectButton_;
    QLabel* organisationLabel_;
    QLineEdit* addressField_;
    QLabel* stateLine_; // not connected / connecting / connected as
    QFrame* menuPanel_;
    QToolButton* tasksButton_;
    QToolButton* animationButton_;
    QToolButton* calculatorButton_;
    QToolButton* helpButton_;
    TaskListView* taskListView_;
    TaskView* taskView_;

    ServerLink* link_;
    std::unique_ptr<MessageDialog> messageDialog_;
    std::unique_ptr<LoginDialog> loginDialog_;
    std::unique_ptr<HelpWindow> helpWindow_;
    std::unique_ptr<AnimationWindow> animationWindow_;
    std::unique_ptr<CalculatorWindow> calculatorWindow_;
    std::unique_ptr<HistoryWindow> historyWindow_;
    std::unique_ptr<SolutionWindow> solutionWindow_;
    ApplicationTray* tray_ = nullptr; // made once the window has been painted
    QString draftsFolder_;
    bool started_ = false; // FinishStart is on its way
    std::unique_ptr<ClientSettings> settings_;
    DraftKeeper* drafts_;
    Reconnector* reconnector_;
    ServerAddress connectedAddress_; // of the last connection started
    bool loginToRemember_ = false;   // sent, not yet known to be let in
    // A login the reconnector repeats waits this long for the server's FEATURES, so that
    // the client's answer goes before it.
    QTimer* offerWait_;
    QString farewell_; // why the server said it closes the connection (BYE), until reconnected
    // The task asked for last, from the list or by the reconnector (CP1251).
    std::string askedTaskName_;
    std::string askedTaskCaption_;
    std::string shownTaskName_; // the task the rows belong to (CP1251)
    QString animationTitle_;    // of the task shown, empty before the first
};
