#include "ServerSession.h"

#include "Submission.h"
#include "VerdictMessage.h"
#include "platform/Cp1251.h"
#include "protocol/QuestSections.h"
#include "protocol/Sections.h"

namespace {

std::string Message(const std::string& utf8Text, const std::string& cp1251Tail = "") {
    return BuildFrame("MESSAGE", platform::Utf8ToCp1251(utf8Text) + cp1251Tail);
}

// A name from the wire, fit for a log line: at most 64 bytes, control characters (a line
// break would forge another log line) shown as "?".
std::string LogName(const std::string& cp1251) {
    std::string name = cp1251.substr(0, 64);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return platform::Cp1251ToUtf8(name);
}

} // namespace

std::string ServerSession::Receive(std::string_view bytes) {
    std::string reply;
    loginPending_ = false;
    // A flood may fill the receiver's queue: the frames that did not fit wait in its
    // buffer and are read again once the queue has been answered.
    for (bool more = true; more && !broken_;) {
        const FrameReceiver::Result result = receiver_.Receive(bytes);
        bytes = {};
        reply += AnswerQueued();
        // Frames before an unreadable header or an oversized one are still answered.
        if (result.headersRefused > 0 ||
            static_cast<std::size_t>(receiver_.FrameLength()) > MaxFrameBytes)
            broken_ = true;
        more = result.queueFull && !loginPending_;
    }
    if (broken_) {
        receiver_.MessageQueue().clear();
        loginPending_ = false;
    }
    return reply;
}

// Answers the queued frames in order; stops at an oversized frame (the session breaks)
// and at a login whose password check has not finished yet.
std::string ServerSession::AnswerQueued() {
    auto& queue = receiver_.MessageQueue();
    std::string reply;
    while (!queue.empty() && !broken_) {
        if (queue.front().size() > MaxFrameBytes) {
            broken_ = true;
            break;
        }
        if (ReadTag(queue.front()) == "LOGIN") {
            const std::optional<std::string> answer = HandleLogin(ReadPayload(queue.front()));
            if (!answer) {
                loginPending_ = true;
                break;
            }
            reply += *answer;
        } else {
            reply += Handle(queue.front());
        }
        queue.pop_front();
    }
    return reply;
}

std::string ServerSession::Handle(const std::string& message) {
    const std::string tag = ReadTag(message);
    const std::string payload = ReadPayload(message);
    if (tag != "GETQUESTLIST" && tag != "GETQUEST" && tag != "SETRESULTQUEST")
        return {};
    if (!LoggedIn())
        return BuildFrame("RELOG", "");
    if (tag == "GETQUESTLIST")
        return QuestList();
    if (tag == "GETQUEST")
        return Quest(payload);
    return HandleSubmission(payload);
}

std::optional<std::string> ServerSession::HandleLogin(const std::string& payload) {
    const std::size_t semicolon = payload.find(';');
    const std::string user = payload.substr(0, semicolon);
    const std::string password =
        semicolon == std::string::npos ? "" : payload.substr(semicolon + 1);
    const std::optional<bool> accepted =
        user.empty() ? std::optional<bool>(false) : host_.CheckLogin(user, password);
    if (!accepted)
        return std::nullopt;
    openTask_ = nullptr;
    if (!*accepted) {
        host_.Log("login refused: " + LogName(user));
        user_.clear();
        return Message("Неверное имя пользователя или пароль.") + BuildFrame("RELOG", "");
    }
    host_.Log("login: " + LogName(user));
    user_ = user;
    return Message("Здравствуйте, ",
                   user + platform::Utf8ToCp1251("! Нажмите \"Задания\", "
                                                 "чтобы получить список заданий."));
}

std::string ServerSession::HandleSubmission(const std::string& payload) {
    const SubmissionVerdict verdict = JudgeSubmission(openTask_, payload, judge_);
    SubmissionRecord record{user_,
                            openTask_ != nullptr ? openTask_->name : std::string(),
                            payload,
                            VerdictSummary(verdict),
                            verdict.judged ? verdict.correctCount : -1,
                            verdict.attemptCount};
    const bool stored = host_.StoreSubmission(record);
    host_.Log("submission: " + LogName(user_) + ", task " + LogName(record.task) + ", " +
              (verdict.judged ? std::to_string(record.score) + "/" + std::to_string(record.total)
                              : std::string("not judged")) +
              (stored ? "" : ", NOT STORED"));
    if (!stored)
        return Message("Ответ не удалось сохранить на сервере. Отправьте его ещё раз.");
    return BuildFrame("MESSAGE", VerdictMessage(verdict));
}

std::string ServerSession::QuestList() const {
    std::string payload;
    for (const BankTask& task : bank_.tasks)
        payload +=
            task.sheetTag + WriteSection("NAME", task.name) + WriteSection("CAPTION", task.caption);
    return BuildFrame("QUESTLIST", payload);
}

std::string ServerSession::Quest(const std::string& name) {
    const BankTask* task = bank_.Find(name);
    if (task == nullptr)
        return Message("Задание не найдено: ", name.substr(0, 64));
    openTask_ = task;
    return BuildQuestMessage({task->name, task->quest, task->image, task->request, task->animate,
                              task->variablesSection});
}
