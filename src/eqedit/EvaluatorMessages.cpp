#include "eqedit/EvaluatorMessages.h"

#include "platform/Cp1251.h"

namespace eqedit::messages {

namespace {

// The texts are written here in UTF-8 and converted to CP1251 once, on first use.
#define EVALUATOR_TEXT(utf8)                                                                       \
    []() -> const std::string& {                                                                   \
        static const std::string text = platform::Utf8ToCp1251(utf8);                              \
        return text;                                                                               \
    }()

} // namespace

std::string SuperscriptUnbound(std::size_t position) {
    return EVALUATOR_TEXT("Верхний индекс в позиции ") + std::to_string(position) +
           EVALUATOR_TEXT(" не связан ни с одним выражением.");
}

std::string SubscriptUnbound(std::size_t position) {
    return EVALUATOR_TEXT("Нижний индекс в позиции ") + std::to_string(position) +
           EVALUATOR_TEXT(" не связан ни с одним выражением.");
}

std::string MisplacedBracket(std::size_t position) {
    return EVALUATOR_TEXT("Неверное расставление скобок в позиции ") + std::to_string(position);
}

std::string NotANumber(const std::string& operand) {
    return EVALUATOR_TEXT("Невозможно преобразовать строку '") + operand +
           EVALUATOR_TEXT("' в число.");
}

const std::string& PowerFault() {
    return EVALUATOR_TEXT(
        "Возможно при выполнении операции возведения в степень произошло переполнение буфера.");
}

const std::string& PowerInfinite() {
    return EVALUATOR_TEXT("Невозможно при выполнении операции возведения в степень произошло "
                          "переполнение буфера.");
}

const std::string& ProductFault() {
    return EVALUATOR_TEXT(
        "Возможно при выполнении операции произведения произошло переполнение буфера.");
}

const std::string& QuotientFault() {
    return EVALUATOR_TEXT("Возможно при выполнении операции деления произошло переполнение "
                          "буфера или деление на нуль.");
}

const std::string& SumFault() {
    return EVALUATOR_TEXT(
        "Возможно при выполнении операции сложения произошло переполнение буфера.");
}

const std::string& DifferenceFault() {
    return EVALUATOR_TEXT(
        "Возможно при выполнении операции вычитания произошло переполнение буфера.");
}

std::string ArcsineDomain(const std::string& argument) {
    return EVALUATOR_TEXT("Аргумент для вычисления арксинуса, равный ") + argument +
           EVALUATOR_TEXT(", должен лежать в интервале (-1;1).");
}

std::string ArccosineDomain(const std::string& argument) {
    return EVALUATOR_TEXT("Аргумент  для вычисления арккосинуса, равный ") + argument +
           EVALUATOR_TEXT(", должен лежать в интервале (-1;1).");
}

const std::string& CotangentByZero() {
    return EVALUATOR_TEXT("При вычислении котангенса произошло деление на 0.");
}

const std::string& TangentByZero() {
    return EVALUATOR_TEXT("При вычислении тангенса произошло деление на 0.");
}

std::string NaturalLogDomain(const std::string& argument) {
    return EVALUATOR_TEXT("Аргумент  для вычисления натурального логарифма, равный ") + argument +
           EVALUATOR_TEXT(", должен быть больше нуля.");
}

std::string DecimalLogDomain(const std::string& argument) {
    return EVALUATOR_TEXT("Аргумент  для вычисления десятичного логарифма, равный ") + argument +
           EVALUATOR_TEXT(", должен быть больше нуля.");
}

std::string SquareRootDomain(const std::string& argument) {
    return EVALUATOR_TEXT("Квадратный корень из отрицательного числа ") + argument + ".";
}

const std::string& SecantByZero() {
    return EVALUATOR_TEXT("При вычислении секанса произошло деление на 0.");
}

const std::string& CosecantByZero() {
    return EVALUATOR_TEXT("При вычислении косеканса произошло деление на 0.");
}

const std::string& SinhOverflow() {
    return EVALUATOR_TEXT("Переполнение при вычислении гиперболического синуса.");
}

const std::string& CoshOverflow() {
    return EVALUATOR_TEXT("Переполнение при вычислении гиперболического косинуса.");
}

const std::string& HyperbolicCotangentByZero() {
    return EVALUATOR_TEXT("При вычислении гиперболического котангенса произошло деление на 0.");
}

std::string UnknownFunction(const std::string& name) {
    return EVALUATOR_TEXT("Неизвестная функция ") + name;
}

std::string MissingOpeningBracket(const std::string& text) {
    return EVALUATOR_TEXT("Отсутствует скобка ( в строке ") + text;
}

std::string MissingClosingBracket(const std::string& text) {
    return EVALUATOR_TEXT("Отсутствует скобка ) в строке ") + text;
}

const std::string& EmptyFormula() {
    return EVALUATOR_TEXT("Пустая строка.");
}

const std::string& ExponentMoreOpening() {
    return EVALUATOR_TEXT("В показателе степени ( скобок больше, чем ).");
}

const std::string& ExponentMoreClosing() {
    return EVALUATOR_TEXT("В показателе степени ) скобок больше, чем (.");
}

std::string ComparisonFailed(const std::string& message) {
    return EVALUATOR_TEXT("Невозможно вычислить одно или оба выражения при сравнении (") + message +
           ").";
}

} // namespace eqedit::messages
