#pragma once

#include "engine/ExpressionTree.h"
#include "engine/PacketData.h"

#include <memory>
#include <string>
#include <string_view>

// A formula with its tree and its own variable table (which starts with the constants).
// The last formula that was set successfully stays until the next one is.
class TMyPacketEquation {
public:
    TMyPacketEquation();
    ~TMyPacketEquation();
    TMyPacketEquation(const TMyPacketEquation&) = delete;
    TMyPacketEquation& operator=(const TMyPacketEquation&) = delete;

    // Cleans the text and builds its tree. An empty text changes nothing; a bracket error
    // leaves its message in EngineStatus and the previous formula in place; an error of
    // the tree builder is raised as platform::Error, and the previous formula stays too.
    void SetFormula(std::string_view text);
    // The value of the formula, 0 while none has been set.
    long double Evaluate();

    void SetVariable(std::string_view name, std::string_view valueText);
    long double GetVariable(std::string_view name);
    void ResetVariables();

    const std::string& Formula() const { return formula; }
    const TMyEquation* Root() const { return root; }
    TMyPacketData& Variables() { return variables; }
    const TMyPacketData& Variables() const { return variables; }

private:
    std::string formula;
    TMyEquation* root = nullptr;
    TMyPacketData variables;
};
