#include "course/TaskVariant.h"

#include "course/VariantSeed.h"
#include "course/VariantText.h"

namespace {

void Fill(std::string& text, const char* section, const ParameterValues& values, char decimalChar,
          std::vector<std::string>& problems) {
    FilledText filled = FillPlaceholders(text, values, decimalChar);
    for (const std::string& problem : filled.problems)
        problems.push_back(std::string(section) + ": " + problem);
    text = std::move(filled.text);
}

} // namespace

TaskVariant VariantOfSeed(const BankTask& task, std::uint64_t seed) {
    TaskVariant variant{task, {}, {}};
    const TaskParameters parameters = ReadTaskParameters(task.parameters);
    variant.problems = parameters.problems;
    DrawnValues drawn = DrawValues(parameters, seed);
    if (!drawn.problem.empty())
        variant.problems.push_back(drawn.problem);
    variant.values = std::move(drawn.values);
    BankTask& shown = variant.task;
    Fill(shown.caption, "CAPTION", variant.values, ',', variant.problems);
    Fill(shown.quest, "QUEST", variant.values, ',', variant.problems);
    Fill(shown.image, "IMAGE", variant.values, '.', variant.problems);
    Fill(shown.animate, "ANIMATE", variant.values, '.', variant.problems);
    Fill(shown.draw, "DRAW", variant.values, '.', variant.problems);
    for (std::string& answer : shown.answers)
        answer = WithParameterValues(answer, variant.values);
    for (FeedbackLine& feedback : shown.feedback)
        feedback.answer = WithParameterValues(feedback.answer, variant.values);
    if (shown.AsksForDrawing()) {
        shown.drawing = drawing::ReadDrawSection(shown.draw);
        for (drawing::Expectation& expectation : shown.drawing.expected) {
            for (drawing::ExpectedObject& object : expectation.objects)
                object.magnitude = WithParameterValues(object.magnitude, variant.values);
            if (expectation.instead)
                expectation.instead->magnitude =
                    WithParameterValues(expectation.instead->magnitude, variant.values);
        }
    }
    return variant;
}

TaskVariant VariantOf(const BankTask& task, std::string_view secret, std::string_view user) {
    return VariantOfSeed(task, VariantSeed(secret, user, task.name));
}
