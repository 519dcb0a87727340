#include "ServerProcess.h"

#include "platform/Cp1251.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QThread>

#include <csignal>
#include <sys/ioctl.h>
#include <sys/types.h>

namespace {
constexpr int kWaitMs = 10000;
} // namespace

ServerProcess::ServerProcess(const QStringList& options, const QString& database,
                             const QStringList& wrapper)
    : database_(database.isEmpty() ? dir_.filePath("vekta.sqlite") : database) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setStandardErrorFile(dir_.filePath("server.log"));
    const QStringList arguments =
        wrapper.mid(1) + QStringList{VEKTA_SERVER_PATH} +
        QStringList{"--demo", "--port", "0", "--listen", "127.0.0.1", "--db", database_} +
        (options.contains("--bank") ? QStringList{} : QStringList{"--bank", VEKTA_BANK_DIR}) +
        options;
    process_.start(wrapper.isEmpty() ? arguments.front() : wrapper.front(),
                   wrapper.isEmpty() ? arguments.mid(1) : arguments);
    if (!process_.waitForReadyRead(kWaitMs))
        return;
    const QString banner = QString::fromUtf8(process_.readLine()).trimmed();
    port_ = static_cast<quint16>(banner.section(' ', -1).toUInt());
    if (!options.contains("--web"))
        return;
    if (!process_.canReadLine() && !process_.waitForReadyRead(kWaitMs))
        return;
    webPort_ = static_cast<quint16>(
        QString::fromUtf8(process_.readLine()).trimmed().section(' ', -1).toUInt());
}

ServerProcess::~ServerProcess() {
    process_.kill();
    process_.waitForFinished();
}

QString ServerProcess::Log() const {
    QFile log(dir_.filePath("server.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

void ServerProcess::Signal(int signal) const {
    ::kill(static_cast<pid_t>(process_.processId()), signal);
}

int ServerProcess::WaitForExit(int waitMs) {
    if (!process_.waitForFinished(waitMs) || process_.exitStatus() != QProcess::NormalExit)
        return -1;
    return process_.exitCode();
}

std::string ServerProcess::RunCommand(const QStringList& arguments, const QByteArray& input,
                                      int* exitCode) const {
    QProcess command;
    command.start(VEKTA_SERVER_PATH, QStringList{"--db", database_} + arguments);
    command.write(input);
    command.closeWriteChannel();
    command.waitForFinished(kWaitMs);
    if (exitCode != nullptr)
        *exitCode = command.exitCode();
    return command.readAllStandardOutput().toStdString();
}

ProtocolClient::ProtocolClient(quint16 port, const QString& from, bool tls, const QString& ca) {
    if (!from.isEmpty())
        socket_.bind(QHostAddress(from));
    if (!tls) {
        socket_.connectToHost("127.0.0.1", port);
        socket_.waitForConnected(kWaitMs);
        return;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates(QSslCertificate::fromPath(ca));
    socket_.setSslConfiguration(configuration);
    socket_.setPeerVerifyName("localhost");
    socket_.connectToHostEncrypted("127.0.0.1", port);
    socket_.waitForEncrypted(kWaitMs);
}

void ProtocolClient::Send(const std::string& tag, const std::string& cp1251Payload) {
    SendRaw(BuildFrame(tag, cp1251Payload));
}

void ProtocolClient::SendRaw(const std::string& bytes) {
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket_.waitForBytesWritten(kWaitMs);
}

std::string ProtocolClient::Next(int waitMs) {
    auto& queue = receiver_.MessageQueue();
    for (;;) {
        while (queue.empty()) {
            if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(waitMs))
                return {};
            const QByteArray bytes = socket_.readAll();
            receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
        }
        std::string frame = std::move(queue.front());
        queue.pop_front();
        // The server's offer is kept aside, as a client that answers nothing to it would.
        if (KindOf(frame) != MessageKind::Features || !keepFeaturesAside_)
            return frame;
        serverFeatures_ = ReadFeatures(PayloadOf(frame));
    }
}

bool ProtocolClient::Pending(int waitMs) {
    return !receiver_.MessageQueue().empty() || socket_.bytesAvailable() > 0 ||
           socket_.waitForReadyRead(waitMs);
}

bool ProtocolClient::WaitUntilRepliesBackUp(int waitMs) {
    QElapsedTimer clock;
    clock.start();
    int held = -1;
    int steady = 0;
    while (clock.elapsed() < waitMs) {
        int now = 0;
        if (::ioctl(static_cast<int>(socket_.socketDescriptor()), FIONREAD, &now) != 0)
            return false;
        steady = now > 0 && now == held ? steady + 1 : 0;
        if (steady == 5)
            return true;
        held = now;
        QThread::msleep(100);
    }
    return false;
}

bool ProtocolClient::ClosedByServer(int waitMs) {
    if (socket_.state() == QAbstractSocket::UnconnectedState)
        return true;
    socket_.waitForDisconnected(waitMs);
    return socket_.state() == QAbstractSocket::UnconnectedState;
}

bool ProtocolClient::LogInAndOpen(const std::string& cp1251User, const std::string& cp1251Password,
                                  const std::string& cp1251Task) {
    Send("LOGIN", cp1251User + ";" + cp1251Password);
    if (MessageText(Next()).find("Здравствуйте") == std::string::npos)
        return false;
    Send("GETQUEST", cp1251Task);
    return ReadTag(Next()) == "QUEST";
}

std::string MessageText(const std::string& frame) {
    return platform::Cp1251ToUtf8(ReadPayload(frame));
}
