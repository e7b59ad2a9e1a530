#pragma once

#include "platform/textfile.h"

#include <QByteArray>

namespace taskstore {

// Appends a record (terminator included) to the task file open for appending, once no other
// copy of the program is writing to it. A file whose last line lacks its CR LF (edited by
// another program) gets one first, so the record never joins that line. All or nothing:
// false, with the file as it was, on any failure.
bool appendRecord(platform::TextFile &file, const QByteArray &record);

} // namespace taskstore
