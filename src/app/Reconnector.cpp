#include "app/Reconnector.h"

#include <QTimer>

Reconnector::Reconnector(QObject* parent) : QObject(parent) {
    ticker_ = new QTimer(this);
    ticker_->setObjectName("reconnectTicker");
    connect(ticker_, &QTimer::timeout, this, &Reconnector::Tick);
}

void Reconnector::LoginSent(const ServerAddress& address, const std::string& user,
                            const std::string& password) {
    address_ = address;
    user_ = user;
    password_ = password;
    armed_ = true;
}

void Reconnector::TaskOpened(const std::string& name, const std::string& caption) {
    taskName_ = name;
    taskCaption_ = caption;
}

bool Reconnector::ConnectionEnded(const std::string& report) {
    if (stage_ == Stage::Idle && !armed_)
        return false;
    lastReport_ = report;
    StartWaiting();
    return true;
}

bool Reconnector::Connected() {
    if (stage_ != Stage::Trying)
        return false;
    schedule_.Reset();
    stage_ = Stage::LoggingIn;
    return true;
}

bool Reconnector::Greeted() {
    if (stage_ != Stage::LoggingIn)
        return false;
    if (taskName_.empty()) {
        stage_ = Stage::Idle;
        return false;
    }
    stage_ = Stage::Reopening;
    return true;
}

void Reconnector::Finish() {
    stage_ = Stage::Idle;
}

void Reconnector::Cancel() {
    ticker_->stop();
    stage_ = Stage::Idle;
    armed_ = false;
    schedule_.Reset();
}

QString Reconnector::WaitText() const {
    return QString::fromStdString(ReconnectWaitText(secondsLeft_));
}

void Reconnector::StartWaiting() {
    stage_ = Stage::Waiting;
    secondsLeft_ = schedule_.NextDelaySeconds();
    ticker_->start(secondMs_);
    emit waitChanged();
}

void Reconnector::Tick() {
    if (--secondsLeft_ > 0) {
        emit waitChanged();
        return;
    }
    ticker_->stop();
    stage_ = Stage::Trying;
    emit tryNow(address_);
}
