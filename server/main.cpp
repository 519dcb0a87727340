// vekta-server: the reference testing server. Serves the tasks of a task bank to ВЕКТА
// clients over the framed text protocol.
//   vekta-server [--port N] [--bank FOLDER]
// Defaults: port 797 (0 picks a free port), the bank of the sources. The first line on
// stdout names the port.

#include "ServerSession.h"
#include "TaskBank.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <iostream>
#include <memory>

namespace {

struct Options {
    quint16 port = 797;
    std::string bank = VEKTA_DEFAULT_BANK;
};

bool ParseOptions(const QStringList& args, Options& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--port" && hasValue) {
            bool ok = false;
            const uint port = args[++i].toUInt(&ok);
            if (!ok || port > 65535) // 0: any free port, printed at start
                return false;
            options.port = static_cast<quint16>(port);
        } else if (args[i] == "--bank" && hasValue) {
            options.bank = args[++i].toStdString();
        } else {
            return false;
        }
    }
    return true;
}

void Serve(QTcpSocket* socket, const TaskBank& bank) {
    auto session = std::make_shared<ServerSession>(bank);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, session] {
        const QByteArray bytes = socket->readAll();
        const std::string reply =
            session->Receive(std::string_view(bytes.constData(), bytes.size()));
        socket->write(reply.data(), static_cast<qint64>(reply.size()));
        if (session->Broken())
            socket->disconnectFromHost();
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    if (!ParseOptions(app.arguments(), options)) {
        std::cerr << "usage: vekta-server [--port N] [--bank FOLDER]\n";
        return 64;
    }
    TaskBank bank;
    try {
        bank = LoadTaskBank(options.bank);
    } catch (const std::exception& error) {
        std::cerr << "vekta-server: " << error.what() << '\n';
        return 1;
    }
    QTcpServer server;
    if (!server.listen(QHostAddress::Any, options.port)) {
        std::cerr << "vekta-server: cannot listen on port " << options.port << ": "
                  << server.errorString().toStdString() << '\n';
        return 1;
    }
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection())
            Serve(socket, bank);
    });
    std::cout << "vekta-server: " << bank.tasks.size() << " tasks, listening on port "
              << server.serverPort() << std::endl;
    return QCoreApplication::exec();
}
