#include "PostgresProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>

namespace {

QString PostgresTool(const QString& name) {
    for (const QString& version :
         QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFile::exists("/usr/lib/postgresql/" + version + "/bin/" + name))
            return "/usr/lib/postgresql/" + version + "/bin/" + name;
    return {};
}

// Runs a PostgreSQL program; as root, as the postgres user (the server refuses root).
bool RunPostgres(const QString& tool, const QStringList& arguments) {
    QProcess process;
    if (geteuid() == 0)
        process.start("runuser", QStringList{"-u", "postgres", "--", tool} + arguments);
    else
        process.start(tool, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

} // namespace

PostgresProcess::PostgresProcess(bool durable) : data_(dir_.filePath("data")), durable_(durable) {
    const QString initdb = PostgresTool("initdb");
    if (initdb.isEmpty() || !QSqlDatabase::isDriverAvailable("QPSQL")) {
        why_ = "PostgreSQL or the QPSQL driver is not installed";
        return;
    }
    if (geteuid() == 0) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr ||
            chown(dir_.path().toLocal8Bit().constData(), user->pw_uid, user->pw_gid) != 0) {
            why_ = "running as root without a postgres user";
            return;
        }
    }
    if (!RunPostgres(initdb,
                     {"-D", data_, "-A", "trust", "-U", "vekta", "-E", "UTF8", "--no-sync"}))
        why_ = "initdb failed";
    port_ = FreePort();
}

PostgresProcess::~PostgresProcess() {
    if (running_)
        RunPostgres(PostgresTool("pg_ctl"), {"-D", data_, "-m", "immediate", "-w", "stop"});
}

bool PostgresProcess::Start() {
    const QString options = QString("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=%3 "
                                    "-c max_connections=200")
                                .arg(port_)
                                .arg(dir_.path())
                                .arg(durable_ ? "on" : "off");
    running_ = RunPostgres(PostgresTool("pg_ctl"),
                           {"-D", data_, "-o", options, "-l", dir_.filePath("log"), "-w", "start"});
    return running_;
}

bool PostgresProcess::Stop() {
    running_ = !RunPostgres(PostgresTool("pg_ctl"), {"-D", data_, "-m", "fast", "-w", "stop"});
    return !running_;
}

std::string PostgresProcess::Url() const {
    return "postgresql://vekta@127.0.0.1:" + std::to_string(port_) + "/postgres";
}

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
