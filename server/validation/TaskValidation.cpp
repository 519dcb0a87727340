#include "validation/TaskValidation.h"

#include "course/Attempts.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"
#include "drawing/DrawnAnswer.h"
#include "judging/TaskJudging.h"
#include "validation/AnimationCheck.h"
#include "validation/AuthorTests.h"
#include "validation/DrawingCheck.h"
#include "validation/GreekKeys.h"
#include "validation/SectionCheck.h"

#include "answers/Quantity.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <set>

namespace {

// The problems of one variant's reference answers: names the task does not declare, or
// no value at the trial points.
void CheckReferences(const TaskVariant& variant, const TaskNames& names,
                     std::vector<std::string>& problems) {
    const BankTask& task = variant.task;
    const std::vector<std::string> references = RowReferences(task);
    for (std::size_t row = 0; row < task.answers.size() && row < task.answerNames.size(); ++row) {
        const std::string label = "ANSWER " + platform::Cp1251ToUtf8(task.answerNames[row]) + ": ";
        const std::vector<std::string> earlierRows(
            task.answerNames.begin(), task.answerNames.begin() + static_cast<std::ptrdiff_t>(row));
        // A reference may end in a unit ("-F/2 кН").
        const answers::ReadResult read =
            answers::ReadReferenceQuantity(task.answers[row],
                                           {answers::NamesOf(names.declared), earlierRows})
                .read;
        if (read.problem) {
            problems.push_back(label +
                               answers::Describe(*read.problem, answers::TextStyle::Unicode));
            continue;
        }
        // Against itself, in its own unit; its figures are the author's.
        answers::JudgeOptions options = JudgeOptionsOf(task, row);
        options.significantFigures = 0;
        const answers::Judgement judgement =
            answers::JudgeAnswer(references[row], references[row], names.declared, options);
        if (!judgement.referenceProblem.empty())
            problems.push_back(label + judgement.referenceProblem);
        else if (judgement.verdict != answers::Verdict::Right)
            problems.push_back(label + "is not right against itself");
    }
}

// The problems of one variant's FEEDBACK lines: an answer that cannot be read or evaluated,
// or that is right (its text would never be told).
void CheckFeedback(const BankTask& task, std::vector<std::string>& problems) {
    const std::vector<std::string> references = RowReferences(task);
    for (const FeedbackLine& line : task.feedback) {
        const std::string label = "FEEDBACK: " + platform::Cp1251ToUtf8(line.line) + ": ";
        const int row = RowOf(task, line.name);
        if (row < 0 || static_cast<std::size_t>(row) >= references.size()) {
            problems.push_back(label + "no reference answer for " +
                               platform::Cp1251ToUtf8(line.name));
            continue;
        }
        const auto k = static_cast<std::size_t>(row);
        const std::vector<std::string> earlierRows(
            task.answerNames.begin(), task.answerNames.begin() + static_cast<std::ptrdiff_t>(k));
        // An answer may end in a unit, as a reference may.
        const answers::QuantityRead read = answers::ReadReferenceQuantity(
            line.answer, {answers::NamesOf(task.variables), earlierRows});
        if (read.read.problem) {
            problems.push_back(label +
                               answers::Describe(*read.read.problem, answers::TextStyle::Unicode));
            continue;
        }
        if (!read.unitProblem.empty()) {
            problems.push_back(label + read.unitProblem);
            continue;
        }
        const std::string typical = TypicalAnswer(task, k, line.answer, references).value_or("");
        answers::JudgeOptions options = JudgeOptionsOf(task, k);
        options.significantFigures = 0;
        options.hints = false;
        const answers::Judgement itself =
            answers::JudgeAnswer(typical, typical, task.variables, options);
        if (itself.verdict != answers::Verdict::Right)
            problems.push_back(label + "the answer does not evaluate");
        else if (answers::JudgeAnswer(references[k], typical, task.variables, options).verdict ==
                 answers::Verdict::Right)
            problems.push_back(label + "the answer is right: the text is never told");
    }
}

// The problems of one variant's drawn answer: DRAW that cannot be read, or lists nothing,
// and magnitudes that are not right against themselves, as reference answers must be.
void CheckDrawing(const BankTask& task, std::vector<std::string>& problems) {
    const drawing::DrawSection& draw = task.drawing;
    problems.insert(problems.end(), draw.problems.begin(), draw.problems.end());
    if (draw.expected.empty() && draw.problems.empty())
        problems.push_back("DRAW lists no force and no moment");
    for (const drawing::Expectation& expectation : draw.expected)
        for (const drawing::ExpectedObject& object : expectation.objects) {
            if (object.magnitude.empty())
                continue;
            const answers::Judgement judgement =
                answers::Judge(object.magnitude, object.magnitude, task.variables, task.tolerance);
            if (judgement.verdict == answers::Verdict::Right)
                continue;
            const std::string why = !judgement.referenceProblem.empty()
                                        ? judgement.referenceProblem
                                        : answers::Reason(judgement, answers::TextStyle::Unicode);
            problems.push_back("DRAW " + platform::Cp1251ToUtf8(object.name) + ": the magnitude " +
                               platform::Cp1251ToUtf8(object.magnitude) + " does not evaluate (" +
                               why + ")");
        }
}

std::vector<std::string> VariantProblems(const TaskVariant& variant, const TaskNames& names,
                                         const AuthorTests& tests) {
    std::vector<std::string> problems = variant.problems;
    const BankTask& task = variant.task;
    for (std::string& problem :
         CheckSections({task.name, task.quest, task.image, task.request, task.animate, {}}))
        problems.push_back(std::move(problem));
    for (std::string& problem : CheckAnimation(task.animate))
        problems.push_back(std::move(problem));
    if (task.AsksForDrawing())
        CheckDrawing(task, problems);
    CheckReferences(variant, names, problems);
    CheckFeedback(task, problems);
    for (std::string& failure : RunAuthorTests(tests, variant))
        problems.push_back(std::move(failure));
    return problems;
}

// The problems of the file itself, the same in every variant.
std::vector<std::string> FileProblems(const BankTask& task, const TaskNames& names,
                                      const AuthorTests& tests) {
    std::vector<std::string> problems;
    // A file that is not a task at all (another file named .task, a section name mistyped
    // throughout) would otherwise pass as a task with nothing in it.
    if (task.quest.empty() && task.image.empty() && task.request.empty() && task.animate.empty())
        problems.push_back("no task in the file: none of <QUEST>, <IMAGE>, <REQUEST> and "
                           "<ANIMATE> is there");
    problems.insert(problems.end(), task.layoutProblems.begin(), task.layoutProblems.end());
    if (!task.problem.empty())
        problems.push_back(platform::Cp1251ToUtf8(task.problem));
    problems.insert(problems.end(), names.problems.begin(), names.problems.end());
    problems.insert(problems.end(), tests.problems.begin(), tests.problems.end());
    problems.insert(problems.end(), task.ruleProblems.begin(), task.ruleProblems.end());
    if (!drawing::ReadDrawTolerance(task.drawTolerance))
        problems.push_back("DRAWTOL is not a position in pixels and an angle in degrees above 0 "
                           "(the angle below 90): " +
                           platform::Cp1251ToUtf8(task.drawTolerance));
    std::string attemptsProblem;
    if (!task.attempts.empty() && !ReadAttempts(task.attempts, attemptsProblem))
        problems.push_back("ATTEMPTS: " + attemptsProblem);
    return problems;
}

} // namespace

std::vector<std::string> ValidateTask(const BankTask& task, int variants,
                                      platform::Canvas* measure) {
    const TaskNames names = DeclaredNamesOf(task);
    const AuthorTests tests = ReadAuthorTests(task.tests);
    std::vector<std::string> problems = FileProblems(task, names, tests);
    const bool withParameters = !ReadTaskParameters(task.parameters).items.empty();
    std::set<std::string> told;
    for (int i = 0; i < CheckedVariantCount(task, variants); ++i) {
        const TaskVariant variant =
            VariantOf(task, kPreviewSecret, "variant " + std::to_string(i + 1));
        const std::string where =
            withParameters ? "variant " + platform::Cp1251ToUtf8(ValuesText(variant.values)) + ": "
                           : "";
        for (const std::string& problem : VariantProblems(variant, names, tests))
            if (told.insert(problem).second)
                problems.push_back(where + problem);
        if (measure != nullptr)
            for (const DrawingProblem& problem : DrawingProblems(variant.task, *measure))
                if (told.insert(problem.key).second)
                    problems.push_back(where + problem.text);
    }
    return problems;
}

std::vector<std::string> TaskWarnings(const BankTask& task) {
    return GreekKeyWarnings(task);
}

int CheckedVariantCount(const BankTask& task, int variants) {
    return ReadTaskParameters(task.parameters).items.empty() ? 1 : std::max(variants, 1);
}

BankCheck SetAsideInvalidTasks(TaskBank& bank, int variants) {
    BankCheck told{bank.course.problems, {}};
    for (const std::string& warning : CourseWarnings(bank.course))
        told.warnings.push_back("course.conf: " + warning);
    std::erase_if(bank.tasks, [&](const BankTask& task) {
        const std::string name = platform::Cp1251ToUtf8(task.name) + ": ";
        for (const std::string& warning : TaskWarnings(task))
            told.warnings.push_back(name + warning);
        const std::vector<std::string> problems = ValidateTask(task, variants);
        for (const std::string& problem : problems)
            told.problems.push_back(name + problem);
        return !problems.empty();
    });
    return told;
}
