#include "StudentTask.h"

#include "CourseRecords.h"
#include "VariantSeed.h"

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
