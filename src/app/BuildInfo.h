#pragma once

#include <QString>

namespace zentro {

class EventLog;

// The four numbers of this build, "major.minor.release.build". The second
// is the database structure it requires; cards and images carry it.
QString GetBuildInfo(EventLog *events = nullptr);

} // namespace zentro
