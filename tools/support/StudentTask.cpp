#include "StudentTask.h"

#include "course/VariantSeed.h"
#include "storage/CourseRecords.h"

#include "platform/Cp1251.h"

#include <stdexcept>

SecretRead SecretOf(const std::optional<std::string>& database) {
    if (!database)
        return {std::string(kPreviewSecret), {}};
    try {
        return {ReadCourseRecords(*database).secret, {}};
    } catch (const std::runtime_error& error) {
        return {{}, error.what()};
    }
}

StudentTaskRead ReadStudentTask(const std::string& path, const StudentChoice& choice) {
    const SecretRead secret = SecretOf(choice.database);
    if (!secret.error.empty())
        return {std::nullopt, secret.error};
    std::optional<TaskFile> file = ReadTaskFile(path);
    if (!file)
        return {std::nullopt, "cannot read " + path};
    TaskVariant variant =
        VariantOf(file->task, secret.secret, platform::Utf8ToCp1251(choice.student));
    if (!variant.problems.empty()) {
        std::string error = "the variant of " + choice.student + " cannot be drawn:";
        for (const std::string& problem : variant.problems)
            error += "\n  " + problem;
        return {std::nullopt, error};
    }
    const BankTask& task = variant.task;
    QuestSections sections{task.name,    task.quest,   task.image,
                           task.request, task.animate, task.variablesSection};
    return {StudentTask{std::move(*file), std::move(variant), std::move(sections)}, {}};
}

StudentChoice StudentChoiceOf(const ToolArguments& arguments) {
    StudentChoice choice;
    choice.student = arguments.Option("--student", choice.student);
    if (arguments.Has("--db"))
        choice.database = arguments.Option("--db");
    return choice;
}

SectionRead ReadStudentSection(const std::string& path, const StudentChoice& choice,
                               std::string QuestSections::*section, const std::string& key) {
    StudentTaskRead read = ReadStudentTask(path, choice);
    if (!read.task)
        return {std::nullopt, read.error};
    std::string& text = read.task->sections.*section;
    if (text.empty())
        return {std::nullopt, "the task has no " + key + " section"};
    return {std::move(text), {}};
}
