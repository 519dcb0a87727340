#include "TaskFile.h"

#include "TaskBank.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

std::optional<TaskFile> ReadTaskFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string name = platform::Utf8ToCp1251(std::filesystem::path(path).stem().string());
    const BankTask task = ParseTaskFile(utf8, "", name);
    TaskFile file;
    file.sections = {task.name, task.quest, task.image, task.request, task.animate};
    const std::string cp1251 = platform::Utf8ToCp1251(utf8);
    file.unrepresentable = static_cast<int>(std::count(cp1251.begin(), cp1251.end(), '?') -
                                            std::count(utf8.begin(), utf8.end(), '?'));
    return file;
}
