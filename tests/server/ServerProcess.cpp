#include "ServerProcess.h"

namespace {
constexpr int kWaitMs = 10000;
} // namespace

ServerProcess::ServerProcess() {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(VEKTA_SERVER_PATH, {"--demo", "--port", "0", "--listen", "127.0.0.1", "--bank",
                                       VEKTA_BANK_DIR, "--db", DatabasePath()});
    if (!process_.waitForReadyRead(kWaitMs))
        return;
    const QString banner = QString::fromUtf8(process_.readLine()).trimmed();
    port_ = static_cast<quint16>(banner.section(' ', -1).toUInt());
}

ServerProcess::~ServerProcess() {
    process_.kill();
    process_.waitForFinished();
}

std::string ServerProcess::RunCommand(const QStringList& arguments, const QByteArray& input,
                                      int* exitCode) const {
    QProcess command;
    command.start(VEKTA_SERVER_PATH, QStringList{"--db", DatabasePath()} + arguments);
    command.write(input);
    command.closeWriteChannel();
    command.waitForFinished(kWaitMs);
    if (exitCode != nullptr)
        *exitCode = command.exitCode();
    return command.readAllStandardOutput().toStdString();
}

ProtocolClient::ProtocolClient(quint16 port) {
    socket_.connectToHost("127.0.0.1", port);
    socket_.waitForConnected(kWaitMs);
}

void ProtocolClient::Send(const std::string& tag, const std::string& cp1251Payload) {
    const std::string frame = BuildFrame(tag, cp1251Payload);
    socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    socket_.waitForBytesWritten(kWaitMs);
}

std::string ProtocolClient::Next() {
    auto& queue = receiver_.MessageQueue();
    while (queue.empty()) {
        if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(kWaitMs))
            return {};
        const QByteArray bytes = socket_.readAll();
        receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
    }
    std::string frame = std::move(queue.front());
    queue.pop_front();
    return frame;
}

bool ProtocolClient::ClosedByServer() {
    if (socket_.state() == QAbstractSocket::UnconnectedState)
        return true;
    socket_.waitForDisconnected(kWaitMs);
    return socket_.state() == QAbstractSocket::UnconnectedState;
}
