#include "TaskFile.h"

#include "course/TaskBank.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// The "?" that stand for characters code page 1251 cannot hold, in what the server sends of
// the task: the file is read once more with its own "?" out of the way.
int UnrepresentableCharacters(std::string utf8, const std::string& name) {
    std::replace(utf8.begin(), utf8.end(), '?', '!');
    const BankTask task = ParseTaskFile(utf8, "", name);
    const std::string sent = task.caption + task.quest + task.image + task.request + task.animate;
    return static_cast<int>(std::count(sent.begin(), sent.end(), '?'));
}

} // namespace

std::optional<TaskFile> ReadTaskFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string name = platform::Utf8ToCp1251(std::filesystem::path(path).stem().string());
    TaskFile file;
    file.task = ParseTaskFile(utf8, "", name);
    const BankTask& task = file.task;
    file.sections = {task.name,    task.quest,   task.image,
                     task.request, task.animate, task.variablesSection};
    file.unrepresentable = UnrepresentableCharacters(utf8, name);
    return file;
}
