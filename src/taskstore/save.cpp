#include "save.h"

namespace taskstore {
namespace {

// Another copy saving takes a moment; a program that holds the file longer is not waited
// for, so that the window never hangs.
constexpr std::chrono::milliseconds LockWait(2000);

} // namespace

bool appendRecord(platform::TextFile &file, const QByteArray &record)
{
    if (!file.lock(LockWait))
        return false;
    const std::optional<bool> terminated = file.endsWithLineBreak();
    if (!terminated)
        return false;
    if (*terminated)
        return file.append(record);
    return file.append(QByteArrayView(platform::LineBreak).toByteArray() + record);
}

} // namespace taskstore
