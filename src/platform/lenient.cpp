#include "lenient.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char c, int base)
{
    int v = base;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// &H and &O literals take the width of the smallest integer that holds their digits, as
// 16-bit or 32-bit two's complement, so &HFFFF is -1 and &H10000 is 65536.
double radixValue(std::string_view s, int base)
{
    std::uint64_t value = 0;
    int digits = 0;
    for (const char c : s) {
        const int d = digitValue(c, base);
        if (d < 0)
            break;
        value = value * base + d;
        ++digits;
        if (value > 0xFFFF'FFFFull)
            return static_cast<double>(value); // beyond 32 bits: the plain value
    }
    if (digits == 0)
        return 0;
    if (value <= 0xFFFF && (base == 16 ? digits <= 4 : digits <= 6))
        return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

double val(QStringView text)
{
    // Only ASCII takes part in a number: anything else stops it, as DEL does.
    std::string s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (!isIgnored(c))
            s.push_back(c.unicode() < 0x7F ? char(c.unicode()) : '\x7F');
    }
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixValue(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixValue(std::string_view(s).substr(2), 8);
        return 0;
    }

    // The longest prefix that forms a decimal number: a sign, digits with at most one point,
    // and an exponent after E or D, which from_chars reads as e.
    std::size_t i = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    const auto isDigit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    const auto skipDigits = [&] {
        const std::size_t from = i;
        while (isDigit(i))
            ++i;
        return i - from;
    };
    std::size_t mantissaDigits = skipDigits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < s.size() && std::string_view("EeDd").find(s[i]) != std::string_view::npos) {
        const std::size_t sign = i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
        if (isDigit(i + 1 + sign)) {
            s[i] = 'e';
            i += 1 + sign;
            skipDigits();
        }
    }
    const std::string_view number = std::string_view(s).substr(0, i);
    const std::string_view digits = number.substr(number.front() == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: never a date, but keep the sign and scale.
        if (number.find("e-") != std::string_view::npos)
            return 0.0;
        return number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

} // namespace platform
