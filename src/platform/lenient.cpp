#include "lenient.h"

#include <QByteArrayView>

#include <string>
#include <string_view>

namespace platform {
namespace {

// The digits of an &H or &O literal, as far as they go.
double radixValue(std::string_view digits, int base)
{
    double value = 0;
    for (const char c : digits) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : base;
        if (d >= base)
            break;
        value = value * base + d;
    }
    return value;
}

} // namespace

double val(QStringView text)
{
    // Blanks, tabs and line feeds are skipped. Only ASCII takes part in a number: anything
    // else stops it, as DEL does.
    std::string s;
    s.reserve(std::size_t(text.size()));
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
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
    // and an exponent after E or D, which is read as e.
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
    return QByteArrayView(s.data(), qsizetype(i)).toDouble();
}

} // namespace platform
