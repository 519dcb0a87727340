#pragma once

#include "app/AnswerRows.h"
#include "app/Connection.h"
#include "app/Frames.h"
#include "diagram/DrawingContext.h"

#include <QAbstractSocket>
#include <QImage>
#include <QWidget>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTcpSocket;
class QTimer;
class QToolButton;
class TEqEdit;
class TNewLabel;

// The main window: the connection to the testing server, the dispatch of its messages,
// the task list and the task view.
class TClientVantor : public QWidget {
    Q_OBJECT
public:
    explicit TClientVantor(QWidget* parent = nullptr);
    ~TClientVantor() override;

    enum class SocketEventKind { Lookup, Connecting, Connect, Disconnect, Read, Write };

    // Hands one frame to the socket in one call; nothing is sent while not connected.
    void SendFrame(const std::string& frame);

    // Types a server address ("host", "host:port" or "[IPv6]:port") into the address field.
    void SetServerAddress(const QString& address);
    // The login dialog has sent LOGIN with this user name (CP1251).
    void LoginSent(const std::string& user);

    // The message handlers of the dispatcher, each given the whole message.
    void HandleQuestList(const std::string& message);
    void HandleQuest(const std::string& message);
    void HandleMessage(const std::string& message);

    // Empties the task view: no answer rows, no statement, no picture; the pane is hidden.
    void ClearTaskView();

    // The dispatcher's table: the handler of each tag the client understands, given the
    // whole message. A frame with any other tag is dropped.
    std::map<std::string, std::function<void(const std::string&)>> MessageHandlers;

    bool Connected = false;
    FrameReceiver Receiver;      // ReceiveBuffer, PayloadLength, FrameLength, MessageQueue
    Connection ServerConnection; // the state line, the reports and the limits
    std::array<TNewLabel*, 1024> QuestLinks{};

    QFrame* Panel1;
    QToolButton* SpeedButton6;
    QLabel* Label2;
    QLabel* Label4;
    QLineEdit* Edit1;
    QLabel* ConnectionState; // the state line: not connected / connecting / connected as
    QFrame* Panel2;
    QLabel* Label1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton4;
    QScrollArea* ScrollBox1;
    QTabWidget* PageControl1;
    QWidget* SheetForStatic;
    QWidget* SheetForKinematik;
    QWidget* SheetForDinamik;
    QScrollArea* ScrollBox2;
    QLabel* Image1;
    QLabel* Label5;
    QPushButton* SendResult;
    QLabel* Label3;
    QTimer* Timer1;
    QTcpSocket* ClientSocket1;

    QImage Image1Bitmap;  // the statement is drawn here, Image1 shows it
    QImage DiagramBitmap; // the task's diagram

    // The task view: the sections of the task shown, and its answer rows. Rows that exist
    // form an unbroken run from row 0; the rows of an earlier task with more answers stay
    // created but hidden.
    std::string QuestText;
    std::string ImageScript;
    std::string RequestText;
    std::string AnimateScript;
    std::vector<std::string> AnswerNames;
    int AnswerCount = 0;
    std::array<TEqEdit*, kMaxAnswerRows> NameEditors{};
    std::array<TEqEdit*, kMaxAnswerRows> AnswerEditors{};
    diagram::DrawingContext DiagramContext;

public slots:
    void SpeedButton6Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    void SendResultClick();
    void QuestLinkClick();
    void Timer1Timer();
    void SocketEvent(TClientVantor::SocketEventKind kind);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePanels();
    void CreateMenuButtons();
    void CreatePanes();
    void ConnectSocket();
    void FormCreate();
    void FormShow();
    void FormResize();
    void Panel1Resize();
    QSize ScrollBox2Size() const; // the task view pane's client size
    void CentreGreeting();
    void FillImage1();
    void ReadSocket();
    void SocketError(QAbstractSocket::SocketError error);
    void CloseConnection(Connection::Verdict verdict);
    void ShowConnectionState();
    bool ExplainIfNothingHappens(); // true when the session cannot take requests now
    void ClearTaskList();
    void FitTaskListPane();
    void ShowLoginDialog();
    void ScrollBox2MouseWheel(int delta);
    void ScrollBox2Click();
    TNewLabel* QuestLinkAt(std::size_t index);

    // The task view's steps (HeadFormTaskView.cpp).
    void ShowTaskPane(int generation);
    void LayoutTaskView();
    void LayoutQuestText();
    std::string DrawQuestImage();
    void PlaceQuestImage();
    void CreateAnswerEditors();
    void CreateAnswerRow(std::size_t row);
    void LayoutAnswerEditors();
    void ShowAnswerEditors();
    void PlaceSendResult();
    void ResizeTaskViewContent();
    int TaskPaneWidth() const;
    void ShowSendError(const std::string& message, const std::string& formula);
    int questGeneration_ = 0; // a newer task or a cleared view cancels a pending show
    QWidget* SheetWidget(int sheet) const;
};

extern TClientVantor* ClientVantor;
