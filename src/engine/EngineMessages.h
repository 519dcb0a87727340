#pragma once

#include <string>

// The engine's messages as CP1251 text, converted once from the UTF-8 of the source.
struct EngineMessages {
    std::string missingClosingBracket;
    std::string missingOpeningBracket;
    std::string emptyTableParameter;
    std::string noSuchVariable;
    std::string divisionByZero;
    std::string zeroInLogarithm;
    std::string zeroInCotangent;
    std::string piInCotangent;
    std::string halfPiInTangent;
    std::string threeHalvesPiInTangent;
    std::string emptyOperand;
    std::string nestingTooDeep;
};

const EngineMessages& Messages();
