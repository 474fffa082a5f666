#pragma once

#include <QString>

namespace zentro {

// Where the program keeps its files: Zentro.ini, the event log, the
// installation file, the collected logs. ZENTRO_HOME overrides the default,
// the user's data folder (~/.local/share/Zentro).
class ProgramFolder
{
public:
    static QString path();
    // Read-only data delivered with the program (update scripts, default logo):
    // the program folder's own "data" when it has one, else the installed or
    // built copy.
    static QString dataPath();
    // A file of the read-only data ("conv/505.SQL", "logo_clikv.jpg").
    static QString dataFile(const QString &relative);
};

} // namespace zentro
