#include "app/ConnectionState.h"

#include "platform/Cp1251.h"

namespace {

std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

const char* Reason(ConnectionState::Failure failure) {
    switch (failure) {
    case ConnectionState::Failure::Refused:
        return "сервер отказал в соединении";
    case ConnectionState::Failure::HostNotFound:
        return "сервер с таким адресом не найден, проверьте адрес";
    case ConnectionState::Failure::TimedOut:
        return "сервер не ответил вовремя, попробуйте ещё раз позже";
    case ConnectionState::Failure::NetworkDown:
        return "нет связи с сетью, проверьте подключение компьютера к сети";
    case ConnectionState::Failure::Other:
        break;
    }
    return "ошибка сети";
}

} // namespace

void ConnectionState::StartConnecting(const std::string& address, bool encrypted) {
    *this = ConnectionState();
    phase_ = Phase::Connecting;
    address_ = address;
    encrypted_ = encrypted;
}

void ConnectionState::Connected() {
    phase_ = Phase::Connected;
}

void ConnectionState::LoginSent(const std::string& user) {
    if (phase_ != Phase::Connected)
        return;
    user_.clear();
    pendingUser_ = user;
}

void ConnectionState::LoginAccepted() {
    if (pendingUser_.empty())
        return;
    user_ = pendingUser_;
    pendingUser_.clear();
}

void ConnectionState::LoginAsked() {
    user_.clear();
    pendingUser_.clear();
}

void ConnectionState::CloseOnPurpose() {
    endReported_ = true;
    phase_ = Phase::NotConnected;
    user_.clear();
    pendingUser_.clear();
}

std::string ConnectionState::Failed(Failure failure, int systemCode) {
    const Phase phase = phase_;
    phase_ = Phase::NotConnected;
    user_.clear();
    pendingUser_.clear();
    if (endReported_)
        return {};
    endReported_ = true;
    const std::string code = " (Asynchronous socket error " + std::to_string(systemCode) + ")";
    const std::string what = phase == Phase::Connected
                                 ? Cp("Соединение с сервером ") + address_ + Cp(" потеряно: ")
                                 : Cp("Не удалось подключиться к серверу ") + address_ + ": ";
    return what + Cp(Reason(failure)) + "." + code;
}

std::string ConnectionState::CertificateRefused(const std::string& reasons) {
    phase_ = Phase::NotConnected;
    user_.clear();
    pendingUser_.clear();
    if (endReported_)
        return {};
    endReported_ = true;
    return Cp("Не удалось подключиться к серверу ") + address_ +
           Cp(": сертификат сервера не прошёл проверку, соединение не установлено и ничего не "
              "отправлено. (") +
           reasons + ")";
}

std::string ConnectionState::Ended() {
    const bool wasConnected = phase_ == Phase::Connected;
    phase_ = Phase::NotConnected;
    user_.clear();
    pendingUser_.clear();
    if (endReported_ || !wasConnected)
        return {};
    endReported_ = true;
    return Cp("Соединение с сервером ") + address_ +
           Cp(" потеряно: сервер закрыл соединение.\nЧтобы продолжить, нажмите "
              "«Войти на сервер».");
}

ConnectionState::Verdict ConnectionState::Judge(const FrameReceiver::Result& read) {
    if (read.queueFull)
        return Verdict::CloseFlooded;
    if (read.headersRefused == 0)
        return Verdict::Fine;
    const bool first = badHeaders_ == 0;
    badHeaders_ += read.headersRefused;
    if (badHeaders_ > kMaxBadHeaders)
        return Verdict::CloseDamaged;
    return first ? Verdict::ReportDamage : Verdict::Fine;
}

std::string ConnectionState::DamageText() const {
    return Cp("Сервер ") + address_ +
           Cp(" прислал повреждённое сообщение: его заголовок не распознан. Данные до "
              "следующего сообщения пропущены.");
}

std::string ConnectionState::ClosedText(Verdict verdict) const {
    const char* what = verdict == Verdict::CloseFlooded
                           ? " прислал больше сообщений, чем клиент успевает обработать"
                           : " прислал повреждённые данные";
    return Cp("Сервер ") + address_ + Cp(what) +
           Cp(", соединение закрыто.\nЧтобы продолжить, нажмите «Войти на сервер».");
}

std::string ConnectionState::StateText() const {
    switch (phase_) {
    case Phase::NotConnected:
        return Cp("Нет соединения с сервером");
    case Phase::Connecting:
        return Cp("Подключение к серверу ") + address_ + "...";
    case Phase::Connected:
        break;
    }
    const std::string encryption = encrypted_ ? Cp(" (шифрование TLS)") : std::string();
    if (user_.empty())
        return Cp("Подключено к серверу ") + address_ + Cp(", вход не выполнен") + encryption;
    return Cp("Подключено к серверу ") + address_ + Cp(" как ") + user_ + encryption;
}

std::string ConnectionState::WhyNothingHappens() const {
    switch (phase_) {
    case Phase::NotConnected:
        return Cp("Нет соединения с сервером: нажмите «Войти на сервер».");
    case Phase::Connecting:
        return Cp("Идёт подключение к серверу ") + address_ + Cp(", подождите.");
    case Phase::Connected:
        break;
    }
    if (user_.empty())
        return Cp("Вход не выполнен: нажмите «Войти на сервер» и введите имя и пароль.");
    return {};
}
