#pragma once

#include "platform/seqfile.h"

#include <QByteArray>

namespace taskstore {

// Appends a record (terminator included) to the task file open for appending. A file whose
// last line lacks its CR LF (edited by another program) gets one first, so the record never
// joins that line. All or nothing: false, with the file as it was, on any failure.
bool appendRecord(platform::TextFile &file, const QByteArray &record);

} // namespace taskstore
