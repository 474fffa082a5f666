#pragma once

#include "db/ResultSet.h"

#include <QString>

namespace zentro {

class AppContext;

// Modes of DynamicQuery.
enum class QueryMode {
    Open = 1,    // a result set is expected
    Execute = 2, // no result set
};

// Runs one statement on the shared connection. On failure writes the system
// event with the statement and answers false; it never shows a message, the
// caller words it. *error gets the driver's text.
bool DynamicQuery(AppContext &app, const QString &sql, QueryMode mode, db::ResultSet *rows = nullptr,
                  QString *error = nullptr);

// Whether the select gives at least one row. A failing select is reported to
// the operator and answers true: "exists" is the safe answer for the
// duplicate checks that call it.
bool RegExists(AppContext &app, const QString &sql);

} // namespace zentro

namespace zentro {

// Whether the reader has a product list (at least one row in LISTAS_PROD).
// A failing query is logged and answers false.
bool haveProductList(AppContext &app, int readerId);

} // namespace zentro
