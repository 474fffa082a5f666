#pragma once

#include "db/ResultSet.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <stdexcept>

namespace zentro::db {

// A failure of the driver or the server, with the diagnostic records the
// driver gave ("[SQLSTATE] message", one per line).
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The one database connection of the program, over the unixODBC C API.
// Statements are run to the end: every result set a statement or a procedure
// returns is consumed, so the connection is never left "out of sync".
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the connection named by an ODBC connection string ("DSN=name;").
    // Throws DbError. The session is switched to NO_BACKSLASH_ESCAPES so that
    // doubling the single quote is complete escaping.
    void open(const QString &connectionString, int timeoutSeconds = 30);
    void close();
    bool isOpen() const;
    QString connectionString() const { return m_connectionString; }

    // Runs a statement that gives no rows (rows it gives anyway are read and dropped).
    void execute(const QString &sql, const QVariantList &params = {});
    // Runs a statement and answers its first result set, fully fetched. Later
    // result sets (a procedure's status) are consumed and dropped.
    ResultSet query(const QString &sql, const QVariantList &params = {});
    // The key of the row the last insert on this connection created.
    qint64 lastInsertId();

    // Transactions: autocommit is on outside of them.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Command time-out of every statement, in seconds (0 = none).
    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }

private:
    struct Handles;
    Handles *m_h;
    QString m_connectionString;
    bool m_inTransaction = false;
    int m_commandTimeout = 60;

    ResultSet run(const QString &sql, const QVariantList &params, bool wantRows);
    // Commits or rolls back (SQL_COMMIT / SQL_ROLLBACK), then autocommit again.
    void endTransaction(short completion);
};

// A transaction that rolls back unless it was committed. Only the routine that
// begins a transaction ends it.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_connection;
    bool m_done = false;
};

} // namespace zentro::db
