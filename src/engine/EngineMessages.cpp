#include "engine/EngineMessages.h"

#include "platform/Cp1251.h"

namespace {

EngineMessages ConvertMessages() {
    using platform::Utf8ToCp1251;
    EngineMessages m;
    m.missingClosingBracket = Utf8ToCp1251("Ошибка: нехватает закрывающей скобки");
    m.missingOpeningBracket = Utf8ToCp1251("Ошибка: нехватает открывающей скобки");
    m.emptyTableParameter = Utf8ToCp1251("Ошибка: пустой параметр при обращении к таблице");
    m.noSuchVariable = Utf8ToCp1251("Ошибка: нет такой переменной:");
    m.divisionByZero = Utf8ToCp1251("Ошибка: Деление на нуль");
    m.zeroInLogarithm = Utf8ToCp1251("Ошибка: нуль в аргументе логарифма");
    m.zeroInCotangent = Utf8ToCp1251("Ошибка: ноль в аргументе котангенса");
    m.piInCotangent = Utf8ToCp1251("Ошибка: Pi в аргументе котангенса");
    m.halfPiInTangent = Utf8ToCp1251("Ошибка: Pi/2 в аргументе тангенса");
    m.threeHalvesPiInTangent = Utf8ToCp1251("Ошибка: 3*Pi/2 в аргументе тангенса");
    m.emptyOperand = Utf8ToCp1251("Ошибка: пустой операнд в формуле");
    m.nestingTooDeep =
        Utf8ToCp1251("Ошибка: слишком глубокая вложенность скобок в формуле (более 256)");
    return m;
}

} // namespace

const EngineMessages& Messages() {
    static const EngineMessages messages = ConvertMessages();
    return messages;
}
