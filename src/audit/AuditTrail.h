#pragma once

#include <QString>

namespace zentro {

class AppContext;

// The audit trail in the database: one login record per login (TAB_LOG) and
// one action record per user action (TAB_MOV_USU), stamped by the server's
// clock. Failures are shown and logged; the user's operation itself stands.

// Opens a login record for the current user and makes it current.
bool inicialog(AppContext &app);
// Closes the current login record.
bool encerraLog(AppContext &app);
// Records one action under a routine code; 0 for an identifier that does not
// apply. Opens a login record first when none is current.
bool GravaLog(AppContext &app, int routine, const QString &text, int consumerId = 0, int readerId = 0,
              int clientId = 0);

} // namespace zentro
