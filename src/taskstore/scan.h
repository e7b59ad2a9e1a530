#pragma once

#include "platform/program.h"
#include "platform/textfile.h"
#include "tasklines.h"

#include <QString>

namespace taskstore {

// Closes every list of today's tasks.
QString creditsBlock();

struct ScanResult {
    QString listText; // each matching message and CR LF, in file order, then the credits
    qsizetype matches = 0;
    QString error; // what went wrong with the file, for the user; empty when all went well
};

// Creates the task file when it is missing, then reads it to the end and collects the
// messages of the records that fall on today, asking `clock` for the date as it goes.
ScanResult scanTaskFile(platform::FileNumbers &numbers, qint16 filenum, const QString &path,
                        const platform::Clock &clock, TaskLines &tasklines);

} // namespace taskstore
