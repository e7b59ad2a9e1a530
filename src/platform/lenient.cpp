#include "lenient.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace platform {
namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char16_t c, int base)
{
    int v = base;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

// &H and &O literals take the width of the smallest integer that holds their digits, as
// 16-bit or 32-bit two's complement, so &HFFFF is -1 and &H10000 is 65536.
double radixValue(const std::u16string &s, std::size_t pos, int base)
{
    std::uint64_t value = 0;
    int digits = 0;
    for (; pos < s.size(); ++pos) {
        const int d = digitValue(s[pos], base);
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
    std::u16string s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (!isIgnored(c))
            s.push_back(c.unicode());
    }
    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return radixValue(s, 2, 16);
        if (s[1] == u'O' || s[1] == u'o')
            return radixValue(s, 2, 8);
        return 0;
    }

    // Copy the longest prefix that forms a decimal number into plain ASCII for from_chars.
    std::string num;
    std::size_t i = 0;
    auto isDigit = [&](std::size_t k) { return k < s.size() && s[k] >= u'0' && s[k] <= u'9'; };
    auto takeDigits = [&] {
        std::size_t n = 0;
        for (; isDigit(i); ++i, ++n)
            num.push_back(static_cast<char>(s[i]));
        return n;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            num.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = takeDigits();
    if (i < s.size() && s[i] == u'.') {
        num.push_back('.');
        ++i;
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        std::size_t j = i + 1;
        const bool sign = j < s.size() && (s[j] == u'+' || s[j] == u'-');
        if (isDigit(j + (sign ? 1 : 0))) {
            num.push_back('e');
            if (sign)
                num.push_back(static_cast<char>(s[j]));
            i = j + (sign ? 1 : 0);
            takeDigits();
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: never a date, but keep the sign and scale.
        if (num.find("e-") != std::string::npos)
            return 0.0;
        return num.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

} // namespace platform
