#include "session/ServerSession.h"

#include "course/StandingCaption.h"
#include "judging/Submission.h"
#include "judging/TaskJudging.h"
#include "judging/VerdictMessage.h"
#include "platform/Cp1251.h"
#include "protocol/Messages.h"

#include <algorithm>

namespace {

std::string Message(const std::string& utf8Text, const std::string& cp1251Tail = "") {
    return WriteText(platform::Utf8ToCp1251(utf8Text) + cp1251Tail);
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
    waiting_ = false;
    // A flood may fill the receiver's queue: the frames that did not fit wait in its
    // buffer and are read again once the queue has been answered.
    for (bool more = true; more && !broken_;) {
        const FrameReceiver::Result result = receiver_.Receive(bytes);
        bytes = {};
        reply += AnswerQueued();
        // Frames before an unreadable header or an oversized one are still answered.
        if (result.headersRefused > 0 ||
            static_cast<std::size_t>(receiver_.FrameLength()) > FrameLimit())
            broken_ = true;
        more = result.queueFull && !waiting_;
    }
    if (broken_) {
        receiver_.MessageQueue().clear();
        waiting_ = false;
    }
    return reply;
}

// Answers the queued frames in order; stops at an oversized frame (the session breaks)
// and at a login or submission the host has not decided yet.
std::string ServerSession::AnswerQueued() {
    auto& queue = receiver_.MessageQueue();
    std::string reply;
    while (!queue.empty() && !broken_) {
        if (queue.front().size() > FrameLimit()) {
            broken_ = true;
            break;
        }
        const std::string& frame = queue.front();
        const MessageKind kind = KindOf(frame);
        std::optional<std::string> answer;
        if (kind == MessageKind::Login)
            answer = HandleLogin(ReadLogin(PayloadOf(frame)));
        else if (kind == MessageKind::SetResultQuest && LoggedIn())
            answer = HandleSubmission(std::string(PayloadOf(frame)));
        else if (kind == MessageKind::GetHistory && LoggedIn() &&
                 clientFeatures_.Has(kFeatureHistory))
            answer = HandleHistory(std::string(PayloadOf(frame)));
        else
            answer = Handle(kind, PayloadOf(frame));
        if (!answer) {
            waiting_ = true;
            break;
        }
        reply += *answer;
        ++framesAnswered_;
        queue.pop_front();
    }
    return reply;
}

std::string ServerSession::Handle(MessageKind kind, std::string_view payload) {
    switch (kind) {
    case MessageKind::Features: // what the client offers, answered with nothing
        clientFeatures_ = ReadFeatures(payload);
        return {};
    case MessageKind::GetHistory: // asked for only by a client that takes the answer
        if (!clientFeatures_.Has(kFeatureHistory))
            return {};
        break;
    case MessageKind::GetQuestList:
    case MessageKind::GetQuest:
    case MessageKind::SetResultQuest:
        break;
    default: // what a client does not send, and unknown tags, are passed by
        return {};
    }
    if (!LoggedIn())
        return WriteRelog();
    if (kind == MessageKind::GetQuestList)
        return QuestList();
    if (kind == MessageKind::GetQuest)
        return Quest(std::string(payload));
    return {}; // a submission is answered apart
}

std::string ServerSession::Greeting() {
    Features offered;
    offered.words.emplace_back(kFeatureBye, "");
    offered.words.emplace_back(kFeatureDevice, "");
    offered.words.emplace_back(kFeatureHistory, "");
    offered.words.emplace_back(kFeatureDrawing, "");
    return WriteFeatures(offered);
}

std::string ServerSession::Farewell(std::string_view reason, const std::string& utf8Text) const {
    const std::string text = platform::Utf8ToCp1251(utf8Text);
    if (clientFeatures_.Has(kFeatureBye))
        return WriteBye({std::string(reason), text});
    return WriteText(text);
}

std::optional<std::string> ServerSession::HandleLogin(const LoginMessage& login) {
    const std::string& user = login.user;
    const std::string& password = login.password;
    const LoginDecision decision =
        user.empty() ? LoginDecision::Refused : host_.CheckLogin(user, password);
    if (decision == LoginDecision::Pending)
        return std::nullopt;
    openTask_ = nullptr;
    if (decision == LoginDecision::Unavailable) {
        host_.Log("login not checked, the accounts cannot be read: " + LogName(user));
        user_.clear();
        return Message("Сервер сейчас не может проверить вход: нет связи с базой данных. "
                       "Попробуйте войти позже.") +
               WriteRelog();
    }
    if (decision == LoginDecision::Refused) {
        host_.Log("login refused: " + LogName(user));
        user_.clear();
        return Message("Неверное имя пользователя или пароль.") + WriteRelog();
    }
    host_.Log("login: " + LogName(user));
    user_ = user;
    student_ = host_.Student(user);
    secret_ = host_.CourseSecret();
    variants_.clear();
    return Message("Здравствуйте, ",
                   user + platform::Utf8ToCp1251("! Нажмите \"Задания\", "
                                                 "чтобы получить список заданий."));
}

std::optional<std::string> ServerSession::HandleSubmission(const std::string& payload) {
    if (openTask_ == nullptr)
        return Message("Ответ не записан: сначала откройте задание.");
    if (payload.size() > MaxSubmissionBytes)
        return Message("Ответ не записан: он длиннее 16 КБ.");
    const BankTask& task = openTask_->task;
    const SubmissionRequest request{
        user_,         std::shared_ptr<const BankTask>(openTask_, &task),
        payload,       ExactValuesText(openTask_->values),
        RulesOf(task), bank_.course.window};
    const std::optional<SubmissionOutcome> outcome = host_.Submit(request);
    if (!outcome)
        return std::nullopt;
    return Reply(request, *outcome);
}

std::optional<std::string> ServerSession::HandleHistory(const std::string& name) {
    HistoryMessage history{name.substr(0, HistoryMessage::kMaxTaskBytes), {}};
    const BankTask* task = bank_.Find(name);
    if (task == nullptr) // a task the course does not have has no submissions
        return WriteHistory(history);
    const std::optional<SubmissionHistory> stored = host_.History(user_, name);
    if (!stored)
        return std::nullopt;
    if (!stored->available) {
        host_.Log("history not read, the database is out of reach: " + LogName(user_) + ", task " +
                  LogName(name));
        return Message("Сервер сейчас не может прочитать ваши ответы: нет связи с базой "
                       "данных. Попробуйте позже.");
    }
    const bool withheld = UnderReview();
    const AttemptRules rules = RulesOf(*task);
    const std::vector<PastSubmission>& past = stored->submissions;
    const std::size_t first = past.size() > SubmissionHistory::kMaxHistory
                                  ? past.size() - SubmissionHistory::kMaxHistory
                                  : 0;
    for (std::size_t i = first; i < past.size(); ++i) {
        const PastSubmission& submission = past[i];
        HistoryEntry entry{submission.receivedUtc, submission.payload, {}, {}};
        if (!withheld) {
            entry.verdicts = submission.verdicts;
            entry.score = platform::Utf8ToCp1251(
                submission.attempt > 0
                    ? CreditText(submission.credited * AttemptScore(1, submission.attempt, rules)) +
                          " из " + std::to_string(submission.total)
                    : std::string("не засчитано"));
        }
        history.entries.push_back(std::move(entry));
    }
    return WriteHistory(history);
}

std::string ServerSession::Reply(const SubmissionRequest& request,
                                 const SubmissionOutcome& outcome) {
    using Status = SubmissionOutcome::Status;
    const std::string who =
        "submission: " + LogName(user_) + ", task " + LogName(request.task->name);
    switch (outcome.status) {
    case Status::Stored: {
        const SubmissionVerdict& verdict = outcome.verdict;
        host_.Log(who + ", " +
                  (!outcome.notJudged.empty() ? "not judged: " + outcome.notJudged
                   : verdict.judged           ? std::to_string(verdict.correctCount) + "/" +
                                          std::to_string(verdict.answers.size())
                                    : std::string("not judged")));
        LogReferenceProblems(who, verdict);
        return Verdict(request, outcome);
    }
    case Status::Paced: {
        const long long seconds = std::max(1LL, (outcome.waitMs + 999) / 1000);
        host_.Log(who + ", too soon after the previous ones, refused");
        return Message("Подождите " + std::to_string(seconds) + " с перед следующей отправкой");
    }
    case Status::TooComplex:
        host_.Log(who + ", judging ran out of time, refused");
        return Message("не принято: выражение слишком сложное");
    case Status::Unavailable:
        host_.Log(who + ", NOT STORED, the database is out of reach: " + outcome.problem);
        return Message("Сервер сейчас не может сохранять ответы: нет связи с базой данных. "
                       "Отправьте ответ ещё раз позже.");
    case Status::NotStored:
        break;
    }
    host_.Log(who + ", NOT STORED: " + outcome.problem);
    return Message("Ответ не удалось сохранить на сервере. Отправьте его ещё раз.");
}

// A reference that cannot be judged against in the student's variant (it has a value at
// too few points) left an answer "не принято": the author must hear of it.
void ServerSession::LogReferenceProblems(const std::string& who, const SubmissionVerdict& verdict) {
    for (const JudgedAnswer& answer : verdict.answers)
        if (!answer.judgement.referenceProblem.empty())
            host_.Log(who + ", the reference answer of " + LogName(answer.name) +
                      " cannot be judged against: " + answer.judgement.referenceProblem);
}

// The verdict, after the attempt's line when attempts are limited or cost something; what
// was not judged is answered with why.
std::string ServerSession::Verdict(const SubmissionRequest& request,
                                   const SubmissionOutcome& outcome) {
    if (!outcome.notJudged.empty())
        return Message(outcome.notJudged);
    const SubmissionVerdict& verdict = outcome.verdict;
    if (outcome.attempt > 0)
        student_.attempts[request.task->name].push_back({verdict.credited});
    if (UnderReview()) {
        std::string taken = "Ответ принят";
        if (outcome.attempt > 0)
            taken +=
                " (попытка " + std::to_string(outcome.attempt) +
                (request.rules.maxAttempts > 0 ? " из " + std::to_string(request.rules.maxAttempts)
                                               : std::string()) +
                ")";
        return Message(taken + ". Результаты будут доступны после окончания тестирования.");
    }
    std::string text = VerdictMessage(verdict);
    if (outcome.attempt > 0) {
        const AttemptRules& rules = request.rules;
        if (rules.maxAttempts > 0 || rules.penaltyPercent > 0)
            text = platform::Utf8ToCp1251(AttemptLine(outcome.attempt, verdict.credited,
                                                      static_cast<int>(verdict.answers.size()),
                                                      rules)) +
                   "\n" + text;
    }
    return WriteText(text);
}

std::string ServerSession::WindowClosed() const {
    return WindowMessage(host_.Now(), bank_.course.window, student_.extensionMinutes);
}

// Results wait for the close: the course reviews after it, and this student's window (their
// extension included) has a close that has not come yet.
bool ServerSession::UnderReview() const {
    const CourseConfig& course = bank_.course;
    return course.review == CourseConfig::Review::AfterClose && course.window.close &&
           StateAt(host_.Now(), course.window, student_.extensionMinutes) != WindowState::Closed;
}

// After the close of a course that reviews then, the list is open for reading the results.
bool ServerSession::ReviewOpen() const {
    const CourseConfig& course = bank_.course;
    return course.review == CourseConfig::Review::AfterClose && course.window.close &&
           StateAt(host_.Now(), course.window, student_.extensionMinutes) == WindowState::Closed;
}

bool ServerSession::NeedsNewerClient(const BankTask& task) const {
    return task.AsksForDrawing() && !clientFeatures_.Has(kFeatureDrawing);
}

AttemptRules ServerSession::RulesOf(const BankTask& task) const {
    return AttemptRulesOf(task.attempts, bank_.course);
}

std::shared_ptr<const TaskVariant> ServerSession::VariantFor(const BankTask& task) {
    std::shared_ptr<const TaskVariant>& variant = variants_[task.name];
    if (variant == nullptr) {
        variant = std::make_shared<const TaskVariant>(VariantOf(task, secret_, user_));
        for (const std::string& problem : variant->problems)
            host_.Log("task " + LogName(task.name) + ", the variant of " + LogName(user_) + ": " +
                      problem);
    }
    return variant;
}

std::string ServerSession::QuestList() {
    if (const std::string closed = WindowClosed(); !closed.empty() && !ReviewOpen())
        return Message(closed);
    const bool standings = !UnderReview();
    std::vector<TaskListItem> items;
    items.reserve(bank_.tasks.size());
    for (const BankTask& task : bank_.tasks) {
        const auto found = student_.attempts.find(task.name);
        std::string caption = StandingCaption(
            VariantFor(task)->task.caption,
            found == student_.attempts.end() || !standings ? std::vector<Attempt>{} : found->second,
            RulesOf(task), task.ScoredRows());
        if (NeedsNewerClient(task))
            caption += platform::Utf8ToCp1251(" (нужен новый клиент)");
        items.push_back({task.sheetTag, task.name, std::move(caption)});
    }
    return WriteTaskList(items);
}

std::string ServerSession::Quest(const std::string& name) {
    const BankTask* found = bank_.Find(name);
    if (found == nullptr)
        return Message("Задание не найдено: ", name.substr(0, 64));
    if (const std::string closed = WindowClosed(); !closed.empty())
        return Message(closed);
    if (NeedsNewerClient(*found))
        return Message("Для этого задания нужен новый клиент: в нём ответ рисуют на схеме.");
    std::shared_ptr<const TaskVariant> variant = VariantFor(*found);
    // A variant whose values fail would judge every answer wrong: it is not served.
    if (!variant->problems.empty())
        return Message("Задание сейчас недоступно: в его варианте ошибка. Сообщите "
                       "преподавателю.");
    openTask_ = variant;
    const BankTask& task = variant->task;
    // A judged task declares the names its answers may use, even none: the client then
    // refuses an answer with any other name before it is sent.
    QuestSections sections{task.name,    task.quest,   task.image,
                           task.request, task.animate, task.variablesSection};
    sections.namesDeclared = !task.answers.empty();
    sections.drawing = task.AsksForDrawing();
    sections.units = RowUnitsSection(task);
    sections.unitsRequired = task.unitsRequired;
    return BuildQuestMessage(sections);
}
