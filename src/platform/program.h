#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace platform {

// Where today's date comes from. The window takes one so that it can be run on a fixed day.
using Clock = std::function<QDate()>;

// The folder of the running executable (symlinks resolved), without a trailing separator
// except for the root folder itself.
QString programDirectory();

// Today's date by the local clock.
QDate today();

} // namespace platform
