// The server's start over a bank with a bad task: the task is logged and left out while the
// others are served; with --strict the server does not start.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 10000;

// A bank with one shipped task, one whose answers do not match its requested names, one with
// a warning alone, and a course.conf with a line that cannot be read.
class BankWithABadTask {
public:
    BankWithABadTask() {
        QDir(dir_.path()).mkpath("bank/statica");
        QFile::copy(QString::fromUtf8(VEKTA_BANK_DIR "/statica/Балка-1.task"),
                    Path("Балка-1.task"));
        QFile conf(dir_.filePath("bank/course.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write("attempts = 3\nclose = tomorrow\n");
        QFile bad(Path("Плохая.task"));
        bad.open(QIODevice::WriteOnly);
        bad.write(
            "<CAPTION>Плохая</CAPTION><QUEST>q</QUEST><REQUEST>A;B;</REQUEST><ANSWER>1;</ANSWER>");
        // Only a warning: served all the same.
        QFile warned(Path("Угол.task"));
        warned.open(QIODevice::WriteOnly);
        warned.write("<CAPTION>Угол</CAPTION><QUEST>Найдите <sym>q</sym>.</QUEST>"
                     "<REQUEST>~q;</REQUEST><ANSWER>1;</ANSWER>");
    }
    QStringList Arguments(const QStringList& more = {}) const {
        return QStringList{"--port",   "0",
                           "--listen", "127.0.0.1",
                           "--bank",   dir_.filePath("bank"),
                           "--db",     dir_.filePath("vekta.sqlite")} +
               more;
    }

private:
    QString Path(const QString& file) const { return dir_.filePath("bank/statica/" + file); }
    QTemporaryDir dir_;
};

TEST(BankValidationTest, ABadTaskIsLoggedAndTheOthersAreServed) {
    BankWithABadTask bank;
    QProcess server;
    server.start(VEKTA_SERVER_PATH, bank.Arguments());
    ASSERT_TRUE(server.waitForReadyRead(kWaitMs));
    const QString banner = QString::fromUtf8(server.readLine());
    EXPECT_TRUE(banner.contains("2 tasks")) << banner.toStdString();
    server.kill();
    server.waitForFinished(kWaitMs);
    const QString log = QString::fromUtf8(server.readAllStandardError());
    EXPECT_TRUE(log.contains("Плохая: 1 answers for 2 requested names")) << log.toStdString();
    EXPECT_TRUE(log.contains("course.conf, line 2: close = tomorrow")) << log.toStdString();
    EXPECT_TRUE(log.contains("bank: warning: Угол: Greek letters: the statement shows q as θ"))
        << log.toStdString();
}

TEST(BankValidationTest, StrictRefusesToStart) {
    BankWithABadTask bank;
    QProcess server;
    server.start(VEKTA_SERVER_PATH, bank.Arguments({"--strict"}));
    ASSERT_TRUE(server.waitForFinished(kWaitMs));
    EXPECT_EQ(server.exitCode(), 1);
    EXPECT_TRUE(server.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(QString::fromUtf8(server.readAllStandardError()).contains("Плохая"));
}

} // namespace
