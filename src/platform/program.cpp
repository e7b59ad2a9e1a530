#include "program.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

QString programDirectory()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QDate today()
{
    return QDate::currentDate();
}

} // namespace platform
