#pragma once

#include "app/Frames.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <string>

// The real vekta-server as a child process on 127.0.0.1 with a port of its own choice,
// the shipped bank with its demo accounts and a fresh SQLite database in a temporary folder.
class ServerProcess {
public:
    ServerProcess();
    ~ServerProcess();

    bool Started() const { return port_ != 0; }
    quint16 Port() const { return port_; }
    QString DatabasePath() const { return dir_.filePath("vekta.sqlite"); }
    // Runs another command of the server program on the same database.
    std::string RunCommand(const QStringList& arguments, const QByteArray& input = {},
                           int* exitCode = nullptr) const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};

// A blocking protocol client: sends frames and waits for whole frames back.
class ProtocolClient {
public:
    explicit ProtocolClient(quint16 port);
    bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void Send(const std::string& tag, const std::string& cp1251Payload);
    // The next frame from the server ("" after a time-out or a closed connection).
    std::string Next();
    // Waits until the server closes the connection; true when it did.
    bool ClosedByServer();

private:
    QTcpSocket socket_;
    FrameReceiver receiver_;
};
