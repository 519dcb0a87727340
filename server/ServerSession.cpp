#include "ServerSession.h"

#include "platform/Cp1251.h"

namespace {

std::string Message(const std::string& utf8Text, const std::string& cp1251Tail = "") {
    return BuildFrame("MESSAGE", platform::Utf8ToCp1251(utf8Text) + cp1251Tail);
}

std::string Section(const char* name, const std::string& text) {
    return std::string("<") + name + ">" + text + "</" + name + ">";
}

} // namespace

std::string ServerSession::Receive(std::string_view bytes) {
    if (broken_)
        return {};
    const FrameReceiver::Result result = receiver_.Receive(bytes);
    if (result.headersRefused > 0)
        broken_ = true;
    std::string reply;
    auto& queue = receiver_.MessageQueue();
    while (!queue.empty()) {
        reply += Handle(queue.front());
        queue.pop_front();
    }
    return reply;
}

std::string ServerSession::Handle(const std::string& message) {
    const std::string tag = ReadTag(message);
    const std::string payload = ReadPayload(message);
    if (tag == "LOGIN")
        return HandleLogin(payload);
    if (tag != "GETQUESTLIST" && tag != "GETQUEST" && tag != "SETRESULTQUEST")
        return {};
    if (!LoggedIn())
        return BuildFrame("RELOG", "");
    if (tag == "GETQUESTLIST")
        return QuestList();
    if (tag == "GETQUEST")
        return Quest(payload);
    return Message("Ответ получен и записан. Спасибо!");
}

std::string ServerSession::HandleLogin(const std::string& payload) {
    const std::size_t semicolon = payload.find(';');
    const std::string user = payload.substr(0, semicolon);
    const std::string password =
        semicolon == std::string::npos ? "" : payload.substr(semicolon + 1);
    const auto known = bank_.users.find(user);
    const bool accepted =
        !user.empty() &&
        (bank_.users.empty() || (known != bank_.users.end() && known->second == password));
    if (!accepted) {
        user_.clear();
        return Message("Неверное имя пользователя или пароль.") + BuildFrame("RELOG", "");
    }
    user_ = user;
    return Message("Здравствуйте, ",
                   user + platform::Utf8ToCp1251("! Нажмите \"Задания\", "
                                                 "чтобы получить список заданий."));
}

std::string ServerSession::QuestList() const {
    std::string payload;
    for (const BankTask& task : bank_.tasks)
        payload += task.sheetTag + Section("NAME", task.name) + Section("CAPTION", task.caption);
    return BuildFrame("QUESTLIST", payload);
}

std::string ServerSession::Quest(const std::string& name) const {
    const BankTask* task = bank_.Find(name);
    if (task == nullptr)
        return Message("Задание не найдено: ", name);
    std::string payload = Section("NAME", task->name) + Section("QUEST", task->quest) +
                          Section("IMAGE", task->image) + Section("REQUEST", task->request);
    if (!task->animate.empty())
        payload += Section("ANIMATE", task->animate);
    return BuildFrame("QUEST", payload);
}
