#pragma once

#include <QString>
#include <QTemporaryDir>

#include <string>

// A private PostgreSQL server for one test: a new cluster in a temporary folder on a free
// port of 127.0.0.1, trusting local connections, its user "vekta". Skipped (Available()
// false, with the reason) where PostgreSQL or Qt's QPSQL driver is not installed.
class PostgresProcess {
public:
    // `durable`: every commit is synced to disk, as a production server's; otherwise not,
    // which tests do not need and which spares the disk.
    explicit PostgresProcess(bool durable = false);
    ~PostgresProcess();

    bool Available() const { return why_.isEmpty(); }
    const QString& Why() const { return why_; }
    bool Start();
    bool Stop();
    // postgresql://vekta@127.0.0.1:PORT/postgres
    std::string Url() const;

private:
    QTemporaryDir dir_;
    QString data_;
    QString why_;
    quint16 port_ = 0;
    bool running_ = false;
    bool durable_ = false;
};

// A port of 127.0.0.1 that nothing listens on at the moment of asking.
quint16 FreePort();
