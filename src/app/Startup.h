#pragma once

#include <QString>

namespace zentro {

class AppContext;
class DbUpdateView;

// The connection string of an ODBC data source; user and password belong to
// the data source, never to the program.
QString ConnectionStringFor(const QString &dataSource);

// Reads Zentro.ini into the data-source table, writes the GERAL default back
// when the file has no section, and trial-connects every entry, dropping
// those that fail. False means the program must stop.
bool LoadSettingsAndProbe(AppContext &app);

// Opens the shared connection and checks the structure version; an older
// database goes through the update procedure (shown in the given view).
// True means connected at the required version.
bool BD_Connect(AppContext &app, const QString &connectionString, DbUpdateView &updateView);

// Connects to another data source of the table. On failure the operator is
// told, the previous configuration is put back and the connection left
// closed, for the keep-alive tick to reopen the previous one.
bool SwitchDataSource(AppContext &app, int index, DbUpdateView &updateView);

// Once a second while the main window lives: keeps the connection open,
// reconnects it when it dropped. Never sends anything inside a transaction.
void KeepAliveTick(AppContext &app);

} // namespace zentro
