#include "judging/VerdictMessage.h"

#include "course/Attempts.h"
#include "platform/Cp1251.h"

namespace {

constexpr answers::TextStyle kStyle = answers::TextStyle::Cp1251Words;

std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

// A requested name as the reading writes it; a name the reader cannot take stays as sent.
std::string ShownName(const std::string& name) {
    const std::optional<std::string> key = answers::NameKey(name);
    return key ? answers::NameText(*key, kStyle) : name;
}

std::string NameOf(const JudgedAnswer& answer) {
    return ShownName(answer.name);
}

// The message is shown without word wrap: a long answer is cut.
std::string Shortened(std::string text) {
    constexpr std::size_t kMaxAnswer = 60;
    if (text.size() > kMaxAnswer)
        text = text.substr(0, kMaxAnswer) + "...";
    return text;
}

// What the student is told besides the verdict's reason, each part after "; ": first the
// author's own text for a typical wrong answer, then the typical mistake the judge finds by
// itself (a unit of another kind is told by the reason already).
std::string Advice(const JudgedAnswer& answer) {
    std::string text;
    if (!answer.feedback.empty())
        text += "; " + answer.feedback;
    const answers::Hint& hint = answer.judgement.hint;
    if (hint.code != answers::Hint::Code::None && hint.code != answers::Hint::Code::Dimension)
        text += "; " + answers::HintMessage(hint, kStyle);
    return text;
}

// Why the answer is not right, the judge's hint left for Advice to tell.
std::string ReasonWithoutHint(const answers::Judgement& judgement) {
    if (judgement.hint.code == answers::Hint::Code::None)
        return answers::Reason(judgement, kStyle);
    answers::Judgement without = judgement;
    without.hint = {};
    return answers::Reason(without, kStyle);
}

// How the answer was read (or, when it cannot be read, what was sent), why it is not
// right and the advice for it: "ваш ответ 2·v_C; деление на нуль".
std::string Explanation(const JudgedAnswer& answer) {
    const answers::ReadResult& read = answer.judgement.answer;
    std::string shown = read.formula ? answers::ReadingText(*read.formula, kStyle) : answer.answer;
    if (read.formula && !answer.judgement.answerUnit.empty())
        shown += " " + answer.judgement.answerUnit;
    const std::string reason = ReasonWithoutHint(answer.judgement);
    if (read.problem && read.problem->code == answers::Problem::Code::Empty)
        return reason;
    std::string text = Cp("ваш ответ ") + Shortened(std::move(shown));
    if (!reason.empty())
        text += "; " + reason;
    return text + Advice(answer);
}

// Why a drawing is not right: what was not found or is extra, or that nothing could be
// judged.
std::string DrawingExplanation(const JudgedAnswer& drawing) {
    if (drawing.answer.empty())
        return Cp("ничего не нарисовано");
    if (drawing.findings.empty())
        return Cp("рисунок не прочитан");
    // The message is one line a finding at most: a drawing full of extras is told in brief.
    constexpr std::size_t kMaxTold = 5;
    std::string text;
    for (std::size_t k = 0; k < drawing.findings.size() && k < kMaxTold; ++k)
        text += (text.empty() ? "" : "; ") + platform::Utf8ToCp1251(drawing.findings[k]);
    if (drawing.findings.size() > kMaxTold)
        text += Cp("; и ещё ") + std::to_string(drawing.findings.size() - kMaxTold);
    return text + Cp(" (засчитано ") + CreditText(drawing.credit) + ")";
}

// The code of a wrong answer's hint in brackets, " (sign)", for the records that group
// wrong answers by the mistake they look like; empty without one.
std::string HintNote(const answers::Judgement& judgement) {
    if (judgement.verdict != answers::Verdict::Wrong ||
        judgement.hint.code == answers::Hint::Code::None)
        return {};
    return " (" + answers::HintCode(judgement.hint) + ")";
}

} // namespace

std::string VerdictMessage(const SubmissionVerdict& verdict) {
    if (!verdict.judged)
        return Cp("Ответ записан. Проверить его нельзя: к этому заданию нет эталонных "
                  "ответов\nили задание не было открыто.");
    std::string text;
    bool notAccepted = false;
    for (const JudgedAnswer& answer : verdict.answers) {
        const answers::Verdict word = answer.judgement.verdict;
        text += NameOf(answer) + ": " + VerdictText(answer);
        if (answer.Carried())
            text += Cp(" (засчитано ") + CreditText(answer.credit) + ")";
        else if (word != answers::Verdict::Right)
            text += Cp(" — ") + (answer.drawing ? DrawingExplanation(answer) : Explanation(answer));
        text += "\n";
        notAccepted = notAccepted || word == answers::Verdict::NotAccepted;
    }
    text += Cp("Верно ") + std::to_string(verdict.correctCount) + Cp(" из ") +
            std::to_string(verdict.answers.size());
    if (verdict.carriedCount > 0)
        text += Cp(", с учётом ошибки ещё ") + std::to_string(verdict.carriedCount);
    if (notAccepted)
        text += Cp("\nНепринятые ответы не засчитаны как попытка.");
    return text;
}

std::string VerdictSummary(const SubmissionVerdict& verdict) {
    std::string text;
    for (const JudgedAnswer& answer : verdict.answers) {
        if (!text.empty())
            text += "; ";
        text += NameOf(answer) + ": " + VerdictText(answer) + HintNote(answer.judgement);
    }
    return text;
}

std::string VerdictText(const JudgedAnswer& answer) {
    if (!answer.Carried())
        return Cp(answers::VerdictWord(answer.judgement.verdict));
    std::string text = Cp(kCarriedVerdict);
    for (std::size_t k = 0; k < answer.carriedFrom.size(); ++k)
        text += (k == 0 ? "" : ", ") + ShownName(answer.carriedFrom[k]);
    return text;
}
