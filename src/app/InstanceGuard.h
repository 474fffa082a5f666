#pragma once

#include <QLockFile>
#include <QString>

namespace zentro {

// One running copy of the program per user and program folder: the first
// holds a lock file there for as long as it runs; a crashed copy's lock is
// recognised as stale and taken over.
class InstanceGuard
{
public:
    explicit InstanceGuard(const QString &programFolder);
    // False when another copy is running.
    bool acquire();

private:
    QLockFile m_lock;
};

} // namespace zentro
