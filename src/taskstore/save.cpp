#include "save.h"

#include "record.h"

namespace taskstore {

bool appendRecord(platform::TextFile &file, const QByteArray &record)
{
    if (!file.lock(BusyFileWait))
        return false;
    const std::optional<bool> terminated = file.endsWithLineBreak();
    if (!terminated)
        return false;
    if (*terminated)
        return file.append(record);
    return file.append(QByteArrayView(platform::LineBreak).toByteArray() + record);
}

} // namespace taskstore
