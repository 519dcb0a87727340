#include "answers/Tokens.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

namespace answers {

namespace {

constexpr unsigned char kMiddleDot = 0xB7; // "·" in CP1251
constexpr char kDegreeSign = '\xB0';       // "°" in CP1251
constexpr double kPi = 3.14159265358979323846;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsSeparator(char c) {
    return c == '.' || c == ',';
}

// A number text too large or too small for a double ("1e400", "1e-400", "9999...9"):
// infinity when its first digit other than 0 stands at or above the units, else 0.
double OutOfRangeValue(std::string_view plain) {
    const std::size_t e = plain.find_first_of("eE");
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = plain.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        exponent = negative ? -exponent : exponent;
        plain = plain.substr(0, e);
    }
    // The power of ten of the mantissa's first significant digit.
    long long place =
        static_cast<long long>(plain.find('.') == std::string_view::npos ? plain.size()
                                                                         : plain.find('.')) -
        1;
    for (char c : plain) {
        if (c == '.')
            continue;
        if (c != '0')
            return place + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0;
        --place;
    }
    return 0;
}

class Lexer {
public:
    Lexer(std::string_view text, ExponentLetters letters) : text_(text), letters_(letters) {}

    std::variant<std::vector<Token>, Problem> Run() {
        while (at_ < text_.size()) {
            if (std::optional<Problem> problem = Step())
                return *std::move(problem);
        }
        if (inExponent_)
            Push(Token::Kind::ExponentClose);
        Push(Token::Kind::End);
        return std::move(tokens_);
    }

private:
    std::optional<Problem> Step() {
        const char c = text_[at_];
        const auto byte = static_cast<unsigned char>(c);
        if (IsSpace(c)) {
            ++at_;
            return std::nullopt;
        }
        if (c == '#' || c == '@') {
            const bool opens = c == '#';
            if (opens != inExponent_) {
                Push(opens ? Token::Kind::ExponentOpen : Token::Kind::ExponentClose);
                inExponent_ = opens;
            }
            ++at_;
            return std::nullopt;
        }
        if (c == '~' || IsNameLetter(byte))
            return Word();
        if (IsDigit(c) || (IsSeparator(c) && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1])))
            return Number();
        if (c == '!' || c == '_')
            return Problem{Problem::Code::IndexWithoutName, at_, std::string(1, c), {}};
        const Token::Kind kind = OperatorKind(byte);
        if (kind == Token::Kind::End)
            return Problem{Problem::Code::BadCharacter, at_, std::string(1, c), {}};
        Push(kind);
        ++at_;
        return std::nullopt;
    }

    static Token::Kind OperatorKind(unsigned char c) {
        switch (c) {
        case '+':
            return Token::Kind::Plus;
        case '-':
            return Token::Kind::Minus;
        case '*':
        case kMiddleDot:
            return Token::Kind::Times;
        case '/':
            return Token::Kind::Divide;
        case '^':
            return Token::Kind::Caret;
        case '(':
            return Token::Kind::Open;
        case ')':
            return Token::Kind::Close;
        default:
            return Token::Kind::End;
        }
    }

    // Appends one letter of a name ("~x" for a Greek one) or, when digits are allowed, a
    // digit; false when the next character is none of these.
    std::optional<Problem> TakeUnit(std::string& into, bool digits, bool& taken) {
        taken = false;
        if (at_ >= text_.size())
            return std::nullopt;
        const char c = text_[at_];
        if (c == '~') {
            if (at_ + 1 >= text_.size() || !IsAsciiLetter(text_[at_ + 1]))
                return Problem{Problem::Code::BadGreek, at_, "~", {}};
            into.append(text_.substr(at_, 2));
            at_ += 2;
            taken = true;
        } else if (IsNameLetter(static_cast<unsigned char>(c)) || (digits && IsDigit(c))) {
            into += c;
            ++at_;
            taken = true;
        }
        return std::nullopt;
    }

    std::optional<Problem> Word() {
        Token token{Token::Kind::Word, at_, {}, {}, 0};
        for (bool taken = true; taken;)
            if (auto problem = TakeUnit(token.text, !token.text.empty(), taken))
                return problem;
        if (at_ < text_.size() && (text_[at_] == '!' || text_[at_] == '_')) {
            const std::size_t mark = at_++;
            for (bool taken = true; taken;)
                if (auto problem = TakeUnit(token.index, true, taken))
                    return problem;
            // The editor may leave a "!" with nothing after it; a typed "_" wants an index.
            if (token.index.empty() && text_[mark] == '_')
                return Problem{Problem::Code::IndexWithoutName, mark, "_", {}};
        }
        tokens_.push_back(std::move(token));
        return std::nullopt;
    }

    std::optional<Problem> Number() {
        const std::size_t start = at_;
        bool separator = false;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (IsDigit(c)) {
                ++at_;
                continue;
            }
            if (!IsSeparator(c))
                break;
            // One separator, and a digit after it.
            if (separator || at_ + 1 >= text_.size() || !IsDigit(text_[at_ + 1]))
                return Problem{Problem::Code::BadNumber, at_, std::string(1, c), {}};
            separator = true;
            ++at_;
        }
        TakePowerOfTen();
        Token token{
            Token::Kind::Number, start, std::string(text_.substr(start, at_ - start)), {}, 0};
        std::string plain = token.text;
        std::replace(plain.begin(), plain.end(), ',', '.');
        const auto read = std::from_chars(plain.data(), plain.data() + plain.size(), token.value);
        if (read.ec == std::errc::result_out_of_range)
            token.value = OutOfRangeValue(plain);
        if (TakeDegrees()) {
            token.text += kDegreeSign;
            token.value *= kPi / 180;
        }
        tokens_.push_back(std::move(token));
        return std::nullopt;
    }

    // "e" or "E", an optional sign and digits after a number's digits are its power of
    // ten, unless the letter is a name the task knows; anything else after the letter
    // leaves it to be read as a name.
    void TakePowerOfTen() {
        if (at_ >= text_.size())
            return;
        const char letter = text_[at_];
        if (!(letter == 'e' && letters_.lower) && !(letter == 'E' && letters_.upper))
            return;
        std::size_t digits = at_ + 1;
        if (digits < text_.size() && (text_[digits] == '-' || text_[digits] == '+'))
            ++digits;
        if (digits >= text_.size() || !IsDigit(text_[digits]))
            return;
        at_ = digits;
        while (at_ < text_.size() && IsDigit(text_[at_]))
            ++at_;
    }

    // "°" or "deg" after a number (spaces between allowed) makes it an angle in degrees;
    // "deg" only as a word of its own ("30degree" is not).
    bool TakeDegrees() {
        std::size_t next = at_;
        while (next < text_.size() && IsSpace(text_[next]))
            ++next;
        if (next < text_.size() && text_[next] == kDegreeSign) {
            at_ = next + 1;
            return true;
        }
        if (text_.substr(next, 3) != "deg")
            return false;
        if (next + 3 < text_.size() && (IsNameLetter(static_cast<unsigned char>(text_[next + 3])) ||
                                        IsDigit(text_[next + 3]) || text_[next + 3] == '~' ||
                                        text_[next + 3] == '!' || text_[next + 3] == '_'))
            return false;
        at_ = next + 3;
        return true;
    }

    void Push(Token::Kind kind) { tokens_.push_back(Token{kind, at_, {}, {}, 0}); }

    std::string_view text_;
    ExponentLetters letters_;
    std::size_t at_ = 0;
    bool inExponent_ = false;
    std::vector<Token> tokens_;
};

} // namespace

bool IsNameLetter(unsigned char c) {
    // Latin letters, and the Cyrillic letters of CP1251 (Ё and ё included).
    return IsAsciiLetter(static_cast<char>(c)) || c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

std::variant<std::vector<Token>, Problem> Tokenize(std::string_view cp1251Text,
                                                   ExponentLetters letters) {
    return Lexer(cp1251Text, letters).Run();
}

ExponentLetters ExponentLettersBeside(const std::vector<std::string>& knownKeys) {
    ExponentLetters letters;
    for (const std::string& key : knownKeys) {
        if (key.empty() || (key[0] != 'e' && key[0] != 'E'))
            continue;
        if (!std::all_of(key.begin() + 1, key.end(), IsDigit))
            continue;
        (key[0] == 'e' ? letters.lower : letters.upper) = false;
    }
    return letters;
}

} // namespace answers
