#include "course/CourseOrder.h"

#include "platform/Cp1251.h"

#include <algorithm>
#include <limits>
#include <tuple>

std::vector<std::string> TaskNames(const TaskBank& bank) {
    std::vector<std::string> names;
    for (const BankTask& task : bank.tasks)
        names.push_back(platform::Cp1251ToUtf8(task.name));
    return names;
}

std::vector<std::string> ArrangeTasks(TaskBank& bank,
                                      const std::map<std::string, int>& firstListed) {
    const std::vector<std::string>& order = bank.course.order;
    constexpr int kLast = std::numeric_limits<int>::max();
    const auto key = [&](const BankTask& task) {
        const std::string name = platform::Cp1251ToUtf8(task.name);
        const auto named = std::find(order.begin(), order.end(), name);
        const auto listed = firstListed.find(name);
        const bool wasListed = listed != firstListed.end();
        // Two names given one place by servers that started together go by name; tasks
        // never listed keep the bank's order.
        return std::tuple(named == order.end() ? kLast : static_cast<int>(named - order.begin()),
                          wasListed ? listed->second : kLast, wasListed ? name : std::string());
    };
    std::stable_sort(bank.tasks.begin(), bank.tasks.end(),
                     [&](const BankTask& a, const BankTask& b) { return key(a) < key(b); });
    const std::vector<std::string> names = TaskNames(bank);
    std::vector<std::string> unknown;
    for (const std::string& name : order)
        if (std::find(names.begin(), names.end(), name) == names.end())
            unknown.push_back(name);
    return unknown;
}
