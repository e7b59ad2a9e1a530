#include "textcodec.h"

#include <QStringDecoder>

#include <array>

namespace platform {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; its five unassigned bytes keep
// their C1 control code points, as web browsers do.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(Cp1252High[c.unicode() - 0x80]);
    }
    return text;
}

} // namespace

QString decodeLine(QByteArrayView bytes)
{
    if (isAscii(bytes)) // nearly every line, and the quickest to decode
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeCp1252(bytes);
    return text;
}

} // namespace platform
