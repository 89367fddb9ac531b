#pragma once

// The lock file that the serial layer puts beside a lane device it opens
// (LCK..<device> in the system's lock folder, holding the owner's process id).
// A lane link that was killed leaves it behind; a link that runs holds it.

#include <QString>

namespace kuzelna {

// Where the lock of `device` lies, found as the serial layer finds it: the
// first readable lock folder that holds the lock or may take one.
QString laneLockPath(const QString& device);

// Removes the lock of `device` when the process that made it has ended.
// Returns what it did ("removed ...", or why it could not), empty when there
// was nothing to do.
QString reclaimStaleLaneLock(const QString& device);

// Who holds the lock of `device`, in the operator's words ("používá ho proces
// 1234 (kuzelna)"), or why a stale lock cannot go; empty when there is no lock.
QString describeLaneLock(const QString& device);

} // namespace kuzelna
