#include "eqedit/EditorVariables.h"

#include <algorithm>

namespace eqedit {

namespace {
constexpr double kPi = 3.141592653589793;
}

EditorVariables::EditorVariables() {
    for (const char* name : {"pi", "PI", "Pi", "pI", "~p"})
        AddVariable(name, kPi);
}

void EditorVariables::AddVariable(const std::string& name, double value) {
    if (name.empty())
        return;
    auto found = std::find_if(nodes_.begin(), nodes_.end(),
                              [&](const EditorVariable& node) { return node.Name == name; });
    if (found != nodes_.end())
        found->Value = value;
    else
        nodes_.push_front(EditorVariable{name, value});
}

double EditorVariables::GetVariable(const std::string& name) const {
    for (const EditorVariable& node : nodes_)
        if (!name.empty() && node.Name == name)
            return node.Value;
    return 0;
}

void EditorVariables::DeleteVariable(const std::string& name) {
    if (!name.empty())
        nodes_.remove_if([&](const EditorVariable& node) { return node.Name == name; });
}

} // namespace eqedit
