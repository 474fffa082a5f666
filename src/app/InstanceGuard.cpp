#include "app/InstanceGuard.h"

namespace zentro {

InstanceGuard::InstanceGuard(const QString &programFolder)
    : m_lock(programFolder + QStringLiteral("/.zentro.lock"))
{
    // Never stale by age: a copy may run for months. A lock whose process is
    // gone is stale anyway.
    m_lock.setStaleLockTime(0);
}

bool InstanceGuard::acquire()
{
    return m_lock.tryLock(0);
}

} // namespace zentro
