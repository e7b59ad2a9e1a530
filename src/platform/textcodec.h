#pragma once

#include <QByteArrayView>
#include <QString>

#include <algorithm>

namespace platform {

// Plain ASCII reads the same in every character set a task file may be in.
inline bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

// Text files carry no marker of their character set. A line is read as UTF-8 when it is valid
// UTF-8, and otherwise as Windows-1252, so files written on an 8-bit system still read right.
// Lines are written in UTF-8.
QString decodeLine(QByteArrayView bytes);

} // namespace platform
