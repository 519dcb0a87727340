#pragma once

#include <forward_list>
#include <string>

namespace eqedit {

// One variable of the formula editor's evaluator: its name exactly as it stands in a
// formula text (level markers and Greek prefix included, e.g. "z!1" or "~p") and its value.
struct EditorVariable {
    std::string Name;
    double Value = 0;
};

// The evaluator's variables. New names go to the head, so the list runs from the newest
// to the oldest entry, and replacement in a formula visits them in that order. Names are
// compared byte for byte and occur at most once.
class EditorVariables {
public:
    // Starts with the five spellings of pi: "pi", "PI", "Pi", "pI", then "~p" at the head.
    EditorVariables();

    // An empty name does nothing; an existing name gets the new value.
    void AddVariable(const std::string& name, double value);
    // The value of the name, or 0 for an empty or unknown name.
    double GetVariable(const std::string& name) const;
    void DeleteVariable(const std::string& name);

    const std::forward_list<EditorVariable>& Nodes() const { return nodes_; }

private:
    std::forward_list<EditorVariable> nodes_;
};

} // namespace eqedit
