#pragma once

#include <QStringView>

namespace platform {

// The forgiving text-to-number conversion: blanks, tabs and line feeds are ignored anywhere;
// the rest is read from its start as far as it forms a number (decimal with optional fraction
// and E or D exponent, or &H hexadecimal / &O octal). No number at the start gives 0.
double val(QStringView text);

} // namespace platform
