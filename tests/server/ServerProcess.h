#pragma once

#include "protocol/Frames.h"
#include "protocol/Messages.h"

#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>

#include <string>

// The real vekta-server as a child process on 127.0.0.1 with a port of its own choice,
// the shipped bank with its demo accounts (unless the options name another bank) and a fresh SQLite
// database in a temporary folder (or the database given), with any further options, optionally
// started through a wrapper command.
class ServerProcess {
public:
    explicit ServerProcess(const QStringList& options = {}, const QString& database = {},
                           const QStringList& wrapper = {});
    ~ServerProcess();

    bool Started() const { return port_ != 0; }
    quint16 Port() const { return port_; }
    // The web pages' port, when the options ask for them.
    quint16 WebPort() const { return webPort_; }
    qint64 Pid() const { return process_.processId(); }
    QString DatabasePath() const { return database_; }
    // What the server logged so far.
    QString Log() const;
    // Sends the process a signal (SIGTERM, SIGINT, ...).
    void Signal(int signal) const;
    // Waits at most `waitMs` for the process to end; its exit code, or -1 when it did not
    // end or crashed.
    int WaitForExit(int waitMs);
    // Runs another command of the server program on the same database.
    std::string RunCommand(const QStringList& arguments, const QByteArray& input = {},
                           int* exitCode = nullptr) const;

private:
    QTemporaryDir dir_;
    QString database_;
    QProcess process_;
    quint16 port_ = 0;
    quint16 webPort_ = 0;
};

// A blocking protocol client: sends frames and waits for whole frames back. It connects
// from `from` (any loopback address) and speaks TLS when asked, trusting `ca`.
class ProtocolClient {
public:
    explicit ProtocolClient(quint16 port, const QString& from = {}, bool tls = false,
                            const QString& ca = {});
    bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    bool Encrypted() const { return socket_.isEncrypted(); }
    void Send(const std::string& tag, const std::string& cp1251Payload);
    void SendRaw(const std::string& bytes);
    // The next frame from the server ("" after a time-out or a closed connection); the
    // server's FEATURES are taken aside unless KeepFeaturesAside(false) was called.
    std::string Next(int waitMs = 10000);
    void KeepFeaturesAside(bool aside) { keepFeaturesAside_ = aside; }
    // What the server offered in its FEATURES, once a frame after them was read.
    const Features& ServerFeatures() const { return serverFeatures_; }
    // Whether a frame or bytes of one came (waits at most `waitMs`).
    bool Pending(int waitMs);
    // Waits until the server's replies stop coming in because nothing reads them: the
    // bytes the system holds for this client, unread, stay the same for a while (at most
    // `waitMs`). True when they did, with some held.
    bool WaitUntilRepliesBackUp(int waitMs = 20000);
    // Waits until the server closes the connection; true when it did.
    bool ClosedByServer(int waitMs = 10000);
    // Logs in and opens a task; true when both were answered as expected.
    bool LogInAndOpen(const std::string& cp1251User, const std::string& cp1251Password,
                      const std::string& cp1251Task);

private:
    QSslSocket socket_;
    FrameReceiver receiver_;
    bool keepFeaturesAside_ = true;
    Features serverFeatures_;
};

// The payload of a MESSAGE frame, as UTF-8.
std::string MessageText(const std::string& frame);
