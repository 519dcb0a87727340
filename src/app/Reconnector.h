#pragma once

#include "app/ReconnectSchedule.h"
#include "app/ServerAddress.h"

#include <QObject>
#include <QString>

#include <string>

class QTimer;

// Connects again by itself when a connection the student had logged in on is lost: waits
// 1, 2, 4 ... 30 s between tries, then logs in with the name and password typed in this
// run (kept in memory only) and reopens the task that was open. The main window asks it
// at each step (the connection ended, it is up, the server greeted) and does what it says;
// "Войти на сервер" cancels it.
class Reconnector : public QObject {
    Q_OBJECT
public:
    // Waiting for the next try, connecting, logging in again, asking for the task again.
    enum class Stage { Idle, Waiting, Trying, LoggingIn, Reopening };

    explicit Reconnector(QObject* parent = nullptr);

    // How long one second of waiting lasts; tests make it short.
    void SetSecondMs(int ms) { secondMs_ = ms; }

    // A login was sent on a connection to this address: a lost connection is tried again.
    void LoginSent(const ServerAddress& address, const std::string& user,
                   const std::string& password);
    // The task the student has open (CP1251; an empty name: none).
    void TaskOpened(const std::string& name, const std::string& caption);

    // The connection ended or a try failed with this report (CP1251). True when the
    // reconnector takes it (it waits to try again, the report goes to the state line);
    // false when the report is the student's to read in a box.
    bool ConnectionEnded(const std::string& report);
    // The connection is up. True when this was a try of the reconnector: the login is
    // to be repeated with LoginUser() and LoginPassword().
    bool Connected();
    // The server answered the repeated login. True when the task that was open is to be
    // asked for again (TaskName(), TaskCaption()).
    bool Greeted();
    // The task came back, or the server asked for the login itself: the reconnection is over.
    void Finish();
    // The student connects by hand: no more waiting or trying, until the next login.
    void Cancel();

    Stage CurrentStage() const { return stage_; }
    bool Busy() const { return stage_ != Stage::Idle; }
    // "Связь потеряна; повтор через 4 с" while waiting (UTF-8 in a QString).
    QString WaitText() const;
    // The report of the loss or of the last failed try (CP1251).
    const std::string& LastReport() const { return lastReport_; }

    const ServerAddress& LoginAddress() const { return address_; }
    const std::string& LoginUser() const { return user_; }
    const std::string& LoginPassword() const { return password_; }
    const std::string& TaskName() const { return taskName_; }
    const std::string& TaskCaption() const { return taskCaption_; }

signals:
    // Time to try: connect to this address.
    void tryNow(const ServerAddress& address);
    // The wait text changed (every second while waiting).
    void waitChanged();

private:
    void StartWaiting();
    void Tick();

    Stage stage_ = Stage::Idle;
    bool armed_ = false; // the current connection was logged in on
    ReconnectSchedule schedule_;
    QTimer* ticker_;
    int secondMs_ = 1000;
    int secondsLeft_ = 0;
    std::string lastReport_;
    ServerAddress address_;
    std::string user_;
    std::string password_;
    std::string taskName_;
    std::string taskCaption_;
};
