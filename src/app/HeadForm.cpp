#include "app/HeadForm.h"

#include "animation/AnimateForm.h"
#include "app/ConnForm.h"
#include "app/NewLabelC.h"
#include "app/QuestList.h"
#include "app/ServerAddress.h"
#include "calculator/CalculatorForm.h"
#include "calculator/HelpPanel.h"
#include "dialogs/DialogPanel.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"
#include "platform/SpeedButton.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <cerrno>

TClientVantor* ClientVantor = nullptr;

using platform::MakeSpeedButton;

namespace {

constexpr int kMinWidth = 600;
constexpr int kMinHeight = 380;
constexpr int kPanel1Height = 73;
constexpr int kPanel2Width = 137;

const char* const kCaption = "Клиент для системы удаленного тестирования ВЕКТА v.1.23";
const char* const kOrganisation = "Кафедра теоретической механики";
const char* const kGreeting = "     Здравствуйте, вас приветствует система\n"
                              "удаленного тестирования ВЕКТА.\n"
                              "     Для начала процедуры выполнения заданий\n"
                              "зайдите на сервер. Если на Вас нет\n"
                              "учетной записи, Вы можете получить ее,\n"
                              "обратившись на кафедру\n"
                              "теоретической механики.";

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

// Socket errors carry the system error code, as the socket layer reports them.
int SystemErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return ECONNREFUSED;
    case QAbstractSocket::HostNotFoundError:
        return EHOSTUNREACH;
    case QAbstractSocket::SocketTimeoutError:
        return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
        return ENETUNREACH;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketResourceError:
        return ENOBUFS;
    default:
        return EIO;
    }
}

Connection::Failure FailureOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return Connection::Failure::Refused;
    case QAbstractSocket::HostNotFoundError:
        return Connection::Failure::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return Connection::Failure::TimedOut;
    case QAbstractSocket::NetworkError:
        return Connection::Failure::NetworkDown;
    default:
        return Connection::Failure::Other;
    }
}

// Qt reads from the socket ahead of the client only this far, so one read event never
// brings more than this many bytes, however fast the server sends.
constexpr qint64 kSocketReadAhead = 1024 * 1024;

// Reports an error once the current event handler has returned, so that the report's
// modal dialog never runs inside the socket's own signal emission.
void ReportLater(QObject* context, const std::string& cp1251Message) {
    QTimer::singleShot(0, context, [cp1251Message] { platform::ReportError(cp1251Message); });
}

} // namespace

TClientVantor::TClientVantor(QWidget* parent) : QWidget(parent) {
    setObjectName("ClientVantor");
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(FontOf("MS Sans Serif", 11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    CreatePanels();
    CreateMenuButtons();
    CreatePanes();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TClientVantor::Timer1Timer);

    ClientSocket1 = new QTcpSocket(this);
    ClientSocket1->setObjectName("ClientSocket1");
    ClientSocket1->setReadBufferSize(kSocketReadAhead);
    ConnectSocket();
    FormCreate();
    Timer1->start();
}

TClientVantor::~TClientVantor() {
    // The socket outlives this part of the object: its last events must not reach it.
    ClientSocket1->disconnect(this);
    Timer1->stop();
    // FormDestroy: the task links have no owner but the main window.
    for (TNewLabel*& link : QuestLinks) {
        delete link;
        link = nullptr;
    }
    if (ClientVantor == this)
        ClientVantor = nullptr;
}

void TClientVantor::CreatePanels() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Plain);
    SpeedButton6 = MakeSpeedButton(Panel1, "SpeedButton6", "Войти на сервер", {4, 4, 113, 29});
    Label2 = MakeLabel(Panel1, "Label2", kOrganisation);
    Label2->setFont(FontOf("Impact", 16));
    Label2->setStyleSheet("color: rgb(0, 128, 0)");
    Label2->adjustSize();
    Label2->move(Label2->x(), 8);
    Label4 = MakeLabel(Panel1, "Label4", "Server IP:");
    Label4->move(9, 45);
    Edit1 = new QLineEdit("127.0.0.1", Panel1);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(58, 41, 103, 21);
    ConnectionState = MakeLabel(Panel1, "ConnectionState", "");
    ConnectionState->setTextFormat(Qt::PlainText);
    ConnectionState->move(170, 45);

    Panel2 = new QFrame(this);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Plain);
    Panel2->setFont(FontOf("Comic Sans MS", 16));
    Label1 = MakeLabel(Panel2, "Label1", "Меню: ");
    Label1->setFont(FontOf("Comic Sans MS", 19));
    Label1->adjustSize();
    Label1->move(32, 16);
}

void TClientVantor::CreateMenuButtons() {
    SpeedButton1 = MakeSpeedButton(Panel2, "SpeedButton1", "Статистика", {8, 48, 117, 33});
    SpeedButton2 = MakeSpeedButton(Panel2, "SpeedButton2", "Обучение", {8, 80, 117, 33});
    SpeedButton3 = MakeSpeedButton(Panel2, "SpeedButton3", "Задания", {8, 112, 117, 33});
    SpeedButton7 = MakeSpeedButton(Panel2, "SpeedButton7", "Анимация", {8, 144, 117, 33});
    SpeedButton5 = MakeSpeedButton(Panel2, "SpeedButton5", "Калькулятор", {8, 191, 117, 33});
    SpeedButton4 = MakeSpeedButton(Panel2, "SpeedButton4", "Помощь", {8, 224, 117, 33});
    SpeedButton1->hide();
    SpeedButton2->hide();
    SpeedButton7->hide();
    connect(SpeedButton6, &QToolButton::clicked, this, &TClientVantor::SpeedButton6Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TClientVantor::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TClientVantor::SpeedButton3Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TClientVantor::SpeedButton7Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TClientVantor::SpeedButton5Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TClientVantor::SpeedButton4Click);
}

void TClientVantor::CreatePanes() {
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(true);
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName("PageControl1");
    PageControl1->setDocumentMode(true);
    auto sheet = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(name);
        PageControl1->addTab(page, QString::fromUtf8(caption));
        return page;
    };
    SheetForStatic = sheet("SheetForStatic", "Статика");
    SheetForKinematik = sheet("SheetForKinematik", "Кинематика");
    SheetForDinamik = sheet("SheetForDinamik", "Динамика");
    PageControl1->setCurrentWidget(SheetForDinamik);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TClientVantor::FitTaskListPane);
    ScrollBox1->setWidget(PageControl1);
    ScrollBox1->hide();

    ScrollBox2 = new QScrollArea(this);
    ScrollBox2->setObjectName("ScrollBox2");
    ScrollBox2->setWidgetResizable(false);
    auto* content = new QWidget;
    content->setObjectName("ScrollBox2Content");
    Image1 = MakeLabel(content, "Image1", "");
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5 = MakeLabel(content, "Label5", "");
    Label5->setFont(FontOf("Times New Roman", 19));
    SendResult = new QPushButton(QString::fromUtf8("Отправить результат"), content);
    SendResult->setObjectName("SendResult");
    SendResult->hide();
    connect(SendResult, &QPushButton::clicked, this, &TClientVantor::SendResultClick);
    Label3 = MakeLabel(content, "Label3", "");
    ScrollBox2->setWidget(content);
    ScrollBox2->viewport()->installEventFilter(this);
    content->installEventFilter(this);
    Image1->installEventFilter(this);
}

void TClientVantor::ConnectSocket() {
    connect(ClientSocket1, &QTcpSocket::hostFound, this,
            [this] { SocketEvent(SocketEventKind::Lookup); });
    connect(ClientSocket1, &QTcpSocket::connected, this,
            [this] { SocketEvent(SocketEventKind::Connect); });
    connect(ClientSocket1, &QTcpSocket::disconnected, this,
            [this] { SocketEvent(SocketEventKind::Disconnect); });
    connect(ClientSocket1, &QTcpSocket::readyRead, this,
            [this] { SocketEvent(SocketEventKind::Read); });
    connect(ClientSocket1, &QTcpSocket::bytesWritten, this,
            [this] { SocketEvent(SocketEventKind::Write); });
    connect(ClientSocket1, &QTcpSocket::errorOccurred, this, &TClientVantor::SocketError);
}

void TClientVantor::FormCreate() {
    MessageHandlers = {
        {"QUEST", [this](const std::string& m) { HandleQuest(m); }},
        {"MESSAGE", [this](const std::string& m) { HandleMessage(m); }},
        {"QUESTLIST", [this](const std::string& m) { HandleQuestList(m); }},
        {"RELOG", [this](const std::string&) { ShowLoginDialog(); }},
    };
    Label5->setText(QString::fromUtf8(kGreeting));
    Label5->adjustSize();
    Connected = false;
    QuestLinks.fill(nullptr);
    Label3->setText("  \n ");
    Label3->adjustSize();
    resize(kMinWidth, kMinHeight);
    setMinimumSize(kMinWidth, kMinHeight);
    ShowConnectionState();
    FormResize();
    const QSize box = ScrollBox2Size();
    Image1->resize(box.width() - 20, box.height());
    Image1Bitmap = QImage(box.width() - 10, box.height() - 10, QImage::Format_RGB32);
    FillImage1();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TClientVantor::FillImage1() {
    Image1Bitmap.fill(palette().color(QPalette::Button));
    Image1->setPixmap(QPixmap::fromImage(Image1Bitmap));
}

void TClientVantor::FormShow() {
    CentreGreeting();
}

QSize TClientVantor::ScrollBox2Size() const {
    return ScrollBox2->maximumViewportSize();
}

void TClientVantor::CentreGreeting() {
    const QSize box = ScrollBox2Size();
    Label5->move((box.width() - Label5->width()) / 2, (box.height() - Label5->height()) / 2);
}

void TClientVantor::FormResize() {
    const int w = width();
    const int h = height();
    Panel1->setGeometry(0, 0, w, kPanel1Height);
    Panel2->setGeometry(0, kPanel1Height, kPanel2Width, h - kPanel1Height);
    const QRect client(kPanel2Width, kPanel1Height, w - kPanel2Width, h - kPanel1Height);
    ScrollBox1->setGeometry(client);
    ScrollBox2->setGeometry(client);
    Panel1Resize();
    CentreGreeting();
    LayoutTaskView();
}

void TClientVantor::Panel1Resize() {
    Label2->move(Panel1->width() - Label2->width() - 30, Label2->y());
    ConnectionState->resize(std::max(0, Panel1->width() - ConnectionState->x() - 8),
                            ConnectionState->sizeHint().height());
}

void TClientVantor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TClientVantor::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QCoreApplication::quit(); // closing the main window ends the program
}

void TClientVantor::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TClientVantor::keyPressEvent(QKeyEvent* event) {
    // "Отправить результат" is the window's default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && SendResult->isVisible()) {
        SendResult->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TClientVantor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox2->viewport() && event->type() == QEvent::Wheel) {
        ScrollBox2MouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease)
        ScrollBox2Click();
    return QWidget::eventFilter(watched, event);
}

void TClientVantor::ScrollBox2MouseWheel(int delta) {
    QScrollBar* bar = ScrollBox2->verticalScrollBar();
    if (delta > 0)
        bar->setValue(bar->value() - 3);
    else if (delta < 0)
        bar->setValue(bar->value() + 3);
}

void TClientVantor::ScrollBox2Click() {
    if (SendResult->isVisible())
        SendResult->setFocus();
}

void TClientVantor::SetServerAddress(const QString& address) {
    Edit1->setText(address);
}

void TClientVantor::SendFrame(const std::string& frame) {
    if (ClientSocket1->state() != QAbstractSocket::ConnectedState)
        return;
    ClientSocket1->write(frame.data(), static_cast<qint64>(frame.size()));
}

void TClientVantor::SpeedButton6Click() {
    ServerConnection.CloseOnPurpose();
    ClientSocket1->abort();
    Connected = false;
    ShowConnectionState(); // still true if the typed address is refused below
    const ServerAddress address = ParseServerAddress(platform::ToCp1251(Edit1->text()));
    // A new connection starts clean: nothing of the last server is read, dispatched or
    // shown any more.
    Receiver.ResetStream();
    Receiver.MessageQueue().clear();
    const bool serverContentShown = Label5->isHidden() || SendResult->isVisible();
    if (serverContentShown) { // before the first list the greeting stays
        ClearTaskList();
        ClearTaskView();
        SpeedButton7->hide();
        if (AnimateForms != nullptr)
            AnimateForms->hide();
    }
    ServerConnection.StartConnecting(address.Text());
    ShowConnectionState();
    ClientSocket1->connectToHost(platform::ToQString(address.host), address.port);
}

void TClientVantor::LoginSent(const std::string& user) {
    ServerConnection.LoginSent(user);
    ShowConnectionState();
}

void TClientVantor::ShowConnectionState() {
    ConnectionState->setStyleSheet({});
    ConnectionState->setText(platform::ToQString(ServerConnection.StateText()));
    Panel1Resize();
    // A login dialog left open after its connection ended would send into nothing.
    const bool ended = ServerConnection.CurrentPhase() == Connection::Phase::NotConnected;
    if (ended && ConnecterForm != nullptr && ConnecterForm->isVisible())
        ConnecterForm->reject();
}

bool TClientVantor::ExplainIfNothingHappens() {
    const std::string why = ServerConnection.WhyNothingHappens();
    if (why.empty())
        return false;
    ConnectionState->setStyleSheet("color: rgb(192, 0, 0)");
    ConnectionState->setText(platform::ToQString(why));
    Panel1Resize();
    return true;
}

void TClientVantor::SpeedButton3Click() {
    if (ExplainIfNothingHappens() || !Connected)
        return;
    SendFrame("<GETQUESTLIST:1>1");
    SpeedButton7->hide();
    if (AnimateForms != nullptr)
        AnimateForms->hide();
}

void TClientVantor::SpeedButton4Click() {
    if (HelpMenuPanel != nullptr)
        HelpMenuPanel->exec();
}

void TClientVantor::SpeedButton5Click() {
    if (Form1 == nullptr)
        return;
    // The calculator takes the keyboard at once, also where no window manager gives the
    // focus to a window that appears.
    Form1->show();
    Form1->raise();
    Form1->activateWindow();
}

void TClientVantor::SpeedButton7Click() {
    if (AnimateForms != nullptr)
        AnimateForms->show();
}

void TClientVantor::SpeedButton2Click() {}

void TClientVantor::SocketEvent(SocketEventKind kind) {
    switch (kind) {
    case SocketEventKind::Connect:
        Connected = true;
        ServerConnection.Connected();
        ShowConnectionState();
        QTimer::singleShot(0, this, &TClientVantor::ShowLoginDialog);
        break;
    case SocketEventKind::Disconnect:
        Connected = false;
        ReportLater(this, ServerConnection.Ended());
        ShowConnectionState();
        break;
    case SocketEventKind::Read:
        ReadSocket();
        break;
    case SocketEventKind::Lookup:
    case SocketEventKind::Connecting:
    case SocketEventKind::Write:
        break;
    }
}

void TClientVantor::ShowLoginDialog() {
    ServerConnection.LoginAsked();
    ShowConnectionState();
    if (ConnecterForm != nullptr)
        ConnecterForm->exec();
}

void TClientVantor::ReadSocket() {
    if (ServerConnection.CurrentPhase() != Connection::Phase::Connected)
        return; // being closed: what it still sends is not read
    std::string received;
    qint64 available = ClientSocket1->bytesAvailable();
    char chunk[1024];
    while (available > 0) {
        const qint64 got = ClientSocket1->read(chunk, std::min<qint64>(available, sizeof chunk));
        if (got <= 0)
            break;
        received.append(chunk, static_cast<std::size_t>(got));
        available -= got;
    }
    const Connection::Verdict verdict = ServerConnection.Judge(Receiver.Receive(received));
    if (verdict == Connection::Verdict::ReportDamage)
        ReportLater(this, ServerConnection.DamageText());
    else if (verdict != Connection::Verdict::Fine)
        CloseConnection(verdict);
}

// A server that sends damaged data again and again, or more than the queue holds, is
// cut off with one report. What it sent in a flood is dropped with it: the queue would
// take hours to dispatch.
void TClientVantor::CloseConnection(Connection::Verdict verdict) {
    ReportLater(this, ServerConnection.ClosedText(verdict));
    ServerConnection.CloseOnPurpose();
    Receiver.ResetStream();
    if (verdict == Connection::Verdict::CloseFlooded)
        Receiver.MessageQueue().clear();
    Connected = false;
    ShowConnectionState();
    // Not from inside the socket's own read signal.
    QTimer::singleShot(0, ClientSocket1, [socket = ClientSocket1] { socket->abort(); });
}

void TClientVantor::SocketError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError)
        return; // the server closed the connection: the disconnect event follows
    ReportLater(this, ServerConnection.Failed(FailureOf(error), SystemErrorCode(error)));
    ShowConnectionState();
}

void TClientVantor::Timer1Timer() {
    Timer1->stop();
    // The dispatch goes on whatever a handler does: the timer is re-armed on every path.
    const auto rearm = qScopeGuard([this] { Timer1->start(); });
    // While the message box is up, server messages wait in the queue rather than in the
    // box's own short list of waiting reports.
    if (DiagForm != nullptr && DiagForm->isVisible())
        return;
    auto& queue = Receiver.MessageQueue();
    // Frames with tags the client does not understand have no effect: they are dropped
    // at once, so that a flood of them does not hold up the next real message.
    while (!queue.empty() && MessageHandlers.count(ReadTag(queue.front())) == 0)
        queue.pop_front();
    if (queue.empty())
        return;
    // Taken out before it is handled: a handler's modal dialog runs the event loop, in
    // which the queue may change.
    const std::string message = queue.front();
    queue.pop_front();
    MessageHandlers.at(ReadTag(message))(message);
}

void TClientVantor::HandleMessage(const std::string& message) {
    if (DiagForm != nullptr)
        DiagForm->ShowDialog(platform::Cp("Сообщение:"), ReadPayload(message), "");
}

TNewLabel* TClientVantor::QuestLinkAt(std::size_t index) {
    TNewLabel*& link = QuestLinks[index];
    if (link == nullptr) {
        link = new TNewLabel;
        link->setObjectName(QString("QuestLink%1").arg(index));
        connect(link, &TNewLabel::clicked, this, &TClientVantor::QuestLinkClick);
        QFont font(QString::fromUtf8("Comic Sans MS"));
        font.setPointSize(10);
        font.setUnderline(true);
        link->setFont(font);
        link->setCursor(Qt::PointingHandCursor);
    }
    return link;
}

QWidget* TClientVantor::SheetWidget(int sheet) const {
    switch (sheet) {
    case kSheetStatics:
        return SheetForStatic;
    case kSheetKinematics:
        return SheetForKinematik;
    default:
        return SheetForDinamik;
    }
}

void TClientVantor::HandleQuestList(const std::string& message) {
    for (TNewLabel* link : QuestLinks) {
        if (link == nullptr)
            break;
        link->hide();
    }
    std::array<int, 3> nextTop = {20, 20, 20};
    const std::vector<QuestListEntry> entries = ParseQuestList(ReadPayload(message));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QuestListEntry& entry = entries[i];
        TNewLabel* link = QuestLinkAt(i);
        if (entry.sheetTagRecognised)
            link->setParent(SheetWidget(entry.sheet));
        int& top = nextTop[static_cast<std::size_t>(entry.sheet)];
        link->QuestName = entry.name;
        link->setText(platform::ToQString(entry.LinkCaption()));
        link->adjustSize();
        link->move(10, top);
        top += link->height() + 2;
        // A link that never received a sheet has no parent and is never seen.
        if (link->parentWidget() != nullptr)
            link->show();
    }
    FitTaskListPane();
    Label5->hide();
    ScrollBox1->show();
    ScrollBox2->hide();
}

// The pane scrolls: the page control is as tall as the links of the sheet shown.
void TClientVantor::FitTaskListPane() {
    int lowest = 0;
    for (TNewLabel* link : QuestLinks) {
        if (link == nullptr)
            break;
        if (!link->isHidden() && link->parentWidget() == PageControl1->currentWidget())
            lowest = std::max(lowest, link->geometry().bottom());
    }
    const int margin = 20;
    PageControl1->setMinimumHeight(
        lowest == 0 ? 0 : PageControl1->tabBar()->sizeHint().height() + lowest + margin);
}

void TClientVantor::ClearTaskList() {
    for (TNewLabel* link : QuestLinks) {
        if (link == nullptr)
            break;
        link->hide();
    }
    FitTaskListPane();
    ScrollBox1->hide();
}

void TClientVantor::QuestLinkClick() {
    const auto* link = qobject_cast<TNewLabel*>(sender());
    if (link == nullptr || ExplainIfNothingHappens() || !Connected)
        return;
    SendFrame(BuildFrame("GETQUEST", link->QuestName));
}
