#include "save.h"

namespace taskstore {

bool appendRecord(platform::TextFile &file, const QByteArray &record)
{
    const std::optional<bool> terminated = file.endsWithLineBreak();
    if (!terminated)
        return false;
    if (*terminated)
        return file.append(record);
    return file.append(QByteArray("\r\n").append(record));
}

} // namespace taskstore
