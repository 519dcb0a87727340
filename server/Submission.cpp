#include "Submission.h"

#include "platform/Cp1251.h"

namespace {

std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

std::string NameField(const std::string& name) {
    return " " + name + " @=";
}

std::string VerdictWord(bool correct) {
    return Cp(correct ? "верно" : "неверно");
}

// The message is shown without word wrap: a reason (which may quote the student's own
// text) is kept to one short line.
std::string ShortReason(const std::string& reason) {
    constexpr std::size_t kMaxReason = 70;
    return reason.size() <= kMaxReason ? reason : reason.substr(0, kMaxReason) + "...";
}

} // namespace

std::vector<std::optional<std::string>> ReadAnswers(const std::string& payload,
                                                    const std::vector<std::string>& names) {
    // Where each item's answer starts (just after its name-field text), found in order.
    std::vector<std::size_t> starts(names.size(), std::string::npos);
    std::vector<std::size_t> fieldStarts(names.size(), std::string::npos);
    std::size_t cursor = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string field = NameField(names[k]);
        const std::size_t found = payload.find(field, cursor);
        if (found == std::string::npos)
            continue;
        fieldStarts[k] = found;
        starts[k] = found + field.size();
        cursor = starts[k];
    }
    std::vector<std::optional<std::string>> answers(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (starts[k] == std::string::npos)
            continue;
        std::size_t end = payload.size();
        for (std::size_t next = k + 1; next < names.size(); ++next)
            if (fieldStarts[next] != std::string::npos) {
                end = fieldStarts[next];
                break;
            }
        std::string answer = payload.substr(starts[k], end - starts[k]);
        if (!answer.empty() && answer.back() == ';')
            answer.pop_back();
        answers[k] = std::move(answer);
    }
    return answers;
}

SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  AnswerJudge& judge) {
    SubmissionVerdict verdict;
    if (task == nullptr || task->answers.empty())
        return verdict;
    verdict.judged = true;
    const auto answers = ReadAnswers(payload, task->answerNames);
    for (std::size_t k = 0; k < answers.size(); ++k) {
        JudgedAnswer judged{task->answerNames[k], answers[k].value_or(""), false, {}};
        if (!answers[k]) {
            judged.reason = Cp("нет ответа");
        } else {
            const AnswerVerdict answerVerdict =
                judge.Judge(task->answers[k], *answers[k], task->variables, task->tolerancePercent);
            judged.correct = answerVerdict.correct;
            judged.reason = answerVerdict.reason;
        }
        verdict.correctCount += judged.correct ? 1 : 0;
        verdict.answers.push_back(std::move(judged));
    }
    return verdict;
}

std::string ReferenceProblem(const BankTask& task, AnswerJudge& judge) {
    for (std::size_t k = 0; k < task.answers.size(); ++k) {
        const AnswerVerdict verdict =
            judge.Judge(task.answers[k], task.answers[k], task.variables, task.tolerancePercent);
        if (!verdict.correct)
            return "the reference answer of " + task.answerNames[k] +
                   " does not evaluate: " + task.answers[k] + " (" + verdict.reason + ")";
    }
    return {};
}

std::string VerdictMessage(const SubmissionVerdict& verdict) {
    if (!verdict.judged)
        return Cp("Ответ записан. Проверить его нельзя: к этому заданию нет эталонных "
                  "ответов\nили задание не было открыто.");
    std::string text;
    for (const JudgedAnswer& answer : verdict.answers) {
        text += answer.name + ": " + VerdictWord(answer.correct);
        if (!answer.reason.empty())
            text += " (" + ShortReason(answer.reason) + ")";
        text += "\n";
    }
    text += Cp("Верно ") + std::to_string(verdict.correctCount) + Cp(" из ") +
            std::to_string(verdict.answers.size());
    return text;
}

std::string VerdictSummary(const SubmissionVerdict& verdict) {
    std::string text;
    for (const JudgedAnswer& answer : verdict.answers) {
        if (!text.empty())
            text += "; ";
        text += answer.name + ": " + VerdictWord(answer.correct);
    }
    return text;
}
