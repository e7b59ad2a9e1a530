#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Text files carry no marker of their character set. A line is read as UTF-8 when it is valid
// UTF-8, and otherwise as Windows-1252, so files written on an 8-bit system still read right.
QString decodeLine(QByteArrayView bytes);

// Lines are written in UTF-8.
QByteArray encodeLine(QStringView text);

} // namespace platform
