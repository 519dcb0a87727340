#include "eqedit/VarList.h"

#include <algorithm>

namespace eqedit {

namespace {
constexpr double kPi = 3.141592653589793;
}

VarList::VarList() {
    for (const char* name : {"pi", "PI", "Pi", "pI", "~p"})
        AddVariable(name, kPi);
}

void VarList::AddVariable(const std::string& name, double value) {
    if (name.empty())
        return;
    auto found = std::find_if(nodes_.begin(), nodes_.end(),
                              [&](const TVarStruct& node) { return node.Name == name; });
    if (found != nodes_.end())
        found->Value = value;
    else
        nodes_.push_front(TVarStruct{name, value});
}

double VarList::GetVariable(const std::string& name) const {
    for (const TVarStruct& node : nodes_)
        if (!name.empty() && node.Name == name)
            return node.Value;
    return 0;
}

void VarList::DeleteVariable(const std::string& name) {
    if (!name.empty())
        nodes_.remove_if([&](const TVarStruct& node) { return node.Name == name; });
}

} // namespace eqedit
