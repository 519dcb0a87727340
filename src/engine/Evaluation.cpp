#include "engine/Evaluation.h"

#include "engine/EngineMessages.h"
#include "engine/EngineStatus.h"
#include "engine/FormulaText.h"

#include <cmath>

namespace {

// The pi of the domain checks.
constexpr long double kPi = 3.141592653589793;

long double VariableValue(const TMyEquation& node, const TMyPacketData* table) {
    if (node.TableNameError != nullptr) {
        // The name's bracket error overrides whatever was recorded, as the clean-up does.
        EngineStatus.Code = 4;
        EngineStatus.ErrorText = *node.TableNameError;
        return 0;
    }
    if (node.TableName.empty()) {
        RecordError(3, Messages().emptyTableParameter);
        return 0;
    }
    if (table == nullptr) {
        if (EngineStatus.ErrorText.empty()) {
            EngineStatus.Code = 3;
            EngineStatus.ErrorText = Messages().noSuchVariable;
            EngineStatus.MissingName = node.TableName;
        }
        return 0;
    }
    return table->ValueOfNormalised(node.TableName, node.Slot);
}

long double ChainValue(const TMyEquation* node, const TMyPacketData* table);

long double NodeValue(const TMyEquation& node, const TMyPacketData* table) {
    long double value;
    if (node.Sub != nullptr)
        value = ChainValue(node.Sub, table);
    else if (node.Kind == kindVariable)
        value = VariableValue(node, table);
    else if (node.HasNumber && NumbersMayBeCached())
        value = node.Number;
    else
        value = TextToNumber(node.Text);
    return node.Function == fnNone ? value : ApplyFunction(node.Function, value);
}

long double Divide(long double a, long double b) {
    if (std::fabs(static_cast<double>(b)) >= EngineStatus.Epsilon)
        return a / b;
    RecordError(2, Messages().divisionByZero);
    return 1;
}

long double Power(long double a, long double b) {
    const long double epsilon = EngineStatus.Epsilon;
    if (std::fabs(a) >= epsilon || std::fabs(b) >= epsilon)
        return std::pow(static_cast<double>(a), static_cast<double>(b));
    return 1;
}

long double Combine(std::uint8_t op, long double a, long double b) {
    switch (op) {
    case opAdd:
        return a + b;
    case opSub:
        return a - b;
    case opMul:
        return a * b;
    case opDiv:
        return Divide(a, b);
    case opPower:
        return Power(a, b);
    default:
        return a;
    }
}

long double ChainValue(const TMyEquation* node, const TMyPacketData* table) {
    long double value = NodeValue(*node, table);
    for (; node->Next != nullptr; node = node->Next)
        value = Combine(node->Operator, value, NodeValue(*node->Next, table));
    return value;
}

bool Within(long double x, long double centre, long double halfWidth) {
    return centre - halfWidth < x && x < centre + halfWidth;
}

// A failed domain check records its message and gives 1.
long double DomainError(const std::string& message) {
    RecordError(2, message);
    return 1;
}

long double Tangent(long double x) {
    const long double band = 3 * EngineStatus.Epsilon;
    if (Within(std::fabs(x), kPi / 2, band))
        return DomainError(Messages().halfPiInTangent);
    if (Within(std::fabs(x), 3 * kPi / 2, band))
        return DomainError(Messages().threeHalvesPiInTangent);
    return std::tan(x);
}

long double Cotangent(long double x) {
    const long double band = 2 * EngineStatus.Epsilon;
    if (std::fabs(x) < band)
        return DomainError(Messages().zeroInCotangent);
    if (Within(std::fabs(x), kPi, band))
        return DomainError(Messages().piInCotangent);
    return 1 / std::tan(x);
}

long double Logarithm(long double x, bool natural) {
    if (std::fabs(x) < EngineStatus.Epsilon)
        return DomainError(Messages().zeroInLogarithm);
    return natural ? std::log(x) : std::log10(x);
}

long double Compute(std::uint8_t code, long double x) {
    switch (code) {
    case fnCos:
        return std::cos(x);
    case fnSin:
        return std::sin(x);
    case fnTan:
        return Tangent(x);
    case fnCotan:
        return Cotangent(x);
    case fnLog:
        return Logarithm(x, false);
    case fnLn:
        return Logarithm(x, true);
    case fnExp:
        return std::exp(x);
    case fnAbs:
        return std::fabs(x);
    case fnSqrt:
        return std::sqrt(x);
    case fnAtan:
        return std::atan(x);
    case fnUp:
        return UpFunction(static_cast<double>(x));
    case fnCosh:
        return std::cosh(static_cast<double>(x));
    case fnSinh:
        return std::sinh(static_cast<double>(x));
    case fnTanh:
        return std::tanh(static_cast<double>(x));
    default:
        return x;
    }
}

} // namespace

long double EvaluateTree(const TMyEquation* root, const TMyPacketData* table) {
    ResetStatus();
    if (root == nullptr)
        return 0;
    return ChainValue(root, table);
}

long double ApplyFunction(std::uint8_t code, long double x) {
    if (code == fnNone || code > fnTanh)
        return x;
    const long double result = Compute(code, x);
    return std::fabs(result) < 3 * EngineStatus.Epsilon ? 0 : result;
}
