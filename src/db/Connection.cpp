#include "db/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <vector>

namespace zentro::db {

DbError::DbError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_text(message)
{
}

namespace {

QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList lines;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        lines << QStringLiteral("[%1] %2").arg(QString::fromLatin1(reinterpret_cast<const char *>(state)),
                                               QString::fromUtf8(reinterpret_cast<const char *>(message)));
    }
    return lines.isEmpty() ? QStringLiteral("erro desconhecido do driver ODBC") : lines.join('\n');
}

void checkRc(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char *what)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    if (rc == SQL_INVALID_HANDLE)
        throw DbError(QStringLiteral("%1: handle inválido").arg(QLatin1String(what)));
    throw DbError(diagnostics(type, handle));
}

// Owns a statement handle for the length of one call.
class Statement
{
public:
    explicit Statement(SQLHDBC dbc)
    {
        checkRc(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_stmt), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    SQLHSTMT handle() const { return m_stmt; }
    void check(SQLRETURN rc, const char *what) const { checkRc(rc, SQL_HANDLE_STMT, m_stmt, what); }

private:
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
};

enum class Kind { Integer, Real, Date, Time, DateTime, Binary, Text };

Kind kindOf(SQLSMALLINT type)
{
    switch (type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return Kind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return Kind::Real;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return Kind::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return Kind::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return Kind::DateTime;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return Kind::Binary;
    default:
        return Kind::Text; // includes DECIMAL: money stays exact as text
    }
}

// Reads a whole column value as bytes, in as many pieces as it takes.
bool readBytes(const Statement &st, SQLUSMALLINT col, SQLSMALLINT cType, QByteArray *out)
{
    out->clear();
    char buffer[8192];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(st.handle(), col, cType, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        st.check(rc, "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return false;
        const qsizetype terminator = cType == SQL_C_CHAR ? 1 : 0;
        qsizetype got;
        if (indicator == SQL_NO_TOTAL || indicator > SQLLEN(sizeof buffer) - terminator)
            got = qsizetype(sizeof buffer) - terminator;
        else
            got = indicator;
        out->append(buffer, got);
        if (rc == SQL_SUCCESS)
            break;
    }
    return true;
}

QVariant readValue(const Statement &st, SQLUSMALLINT col, Kind kind)
{
    SQLLEN indicator = 0;
    switch (kind) {
    case Kind::Integer: {
        SQLBIGINT v = 0;
        st.check(SQLGetData(st.handle(), col, SQL_C_SBIGINT, &v, 0, &indicator), "SQLGetData");
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(qlonglong(v));
    }
    case Kind::Real: {
        double v = 0;
        st.check(SQLGetData(st.handle(), col, SQL_C_DOUBLE, &v, 0, &indicator), "SQLGetData");
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(v);
    }
    case Kind::Date: {
        SQL_DATE_STRUCT d{};
        st.check(SQLGetData(st.handle(), col, SQL_C_TYPE_DATE, &d, sizeof d, &indicator), "SQLGetData");
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(QDate(d.year, d.month, d.day));
    }
    case Kind::Time: {
        SQL_TIME_STRUCT t{};
        st.check(SQLGetData(st.handle(), col, SQL_C_TYPE_TIME, &t, sizeof t, &indicator), "SQLGetData");
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(QTime(t.hour, t.minute, t.second));
    }
    case Kind::DateTime: {
        SQL_TIMESTAMP_STRUCT ts{};
        st.check(SQLGetData(st.handle(), col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator), "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return {};
        return QDateTime(QDate(ts.year, ts.month, ts.day), QTime(ts.hour, ts.minute, ts.second));
    }
    case Kind::Binary: {
        QByteArray bytes;
        if (!readBytes(st, col, SQL_C_BINARY, &bytes))
            return {};
        return bytes;
    }
    case Kind::Text: {
        QByteArray bytes;
        if (!readBytes(st, col, SQL_C_CHAR, &bytes))
            return {};
        return QString::fromUtf8(bytes);
    }
    }
    return {};
}

// Storage for bound parameters; kept alive until the statement has run.
struct BoundParam
{
    QByteArray bytes;
    SQLBIGINT integer = 0;
    double real = 0;
    SQL_TIMESTAMP_STRUCT timestamp{};
    SQLLEN indicator = 0;
};

void bindParams(const Statement &st, const QVariantList &params, std::vector<BoundParam> &storage)
{
    storage.resize(params.size());
    for (qsizetype i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        BoundParam &p = storage[i];
        const auto n = SQLUSMALLINT(i + 1);
        SQLRETURN rc;
        if (v.isNull()) {
            p.indicator = SQL_NULL_DATA;
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                  &p.indicator);
        } else if (v.typeId() == QMetaType::QByteArray) {
            p.bytes = v.toByteArray();
            p.indicator = p.bytes.size();
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                  SQLULEN(qMax<qsizetype>(p.bytes.size(), 1)), 0, p.bytes.data(), p.bytes.size(),
                                  &p.indicator);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt ||
                   v.typeId() == QMetaType::ULongLong || v.typeId() == QMetaType::Bool) {
            p.integer = v.toLongLong();
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &p.integer, 0,
                                  nullptr);
        } else if (v.typeId() == QMetaType::Double) {
            p.real = v.toDouble();
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &p.real, 0, nullptr);
        } else if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            p.timestamp = {SQLSMALLINT(dt.date().year()),
                           SQLUSMALLINT(dt.date().month()),
                           SQLUSMALLINT(dt.date().day()),
                           SQLUSMALLINT(dt.time().hour()),
                           SQLUSMALLINT(dt.time().minute()),
                           SQLUSMALLINT(dt.time().second()),
                           0};
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, 0,
                                  &p.timestamp, sizeof p.timestamp, nullptr);
        } else {
            p.bytes = v.toString().toUtf8();
            p.indicator = p.bytes.size();
            rc = SQLBindParameter(st.handle(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                  SQLULEN(qMax<qsizetype>(p.bytes.size(), 1)), 0, p.bytes.data(), p.bytes.size(),
                                  &p.indicator);
        }
        st.check(rc, "SQLBindParameter");
    }
}

// Short columns of known width are fetched many rows at a time into bound
// buffers; a result with long text or binary columns is read value by value.
constexpr SQLULEN BlockRows = 256;
constexpr SQLULEN MaxBoundText = 4000;

bool blockFetchable(const QList<Kind> &kinds, const QList<SQLULEN> &sizes)
{
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        if (kinds.at(i) == Kind::Binary)
            return false;
        if (kinds.at(i) == Kind::Text && (sizes.at(i) == 0 || sizes.at(i) > MaxBoundText))
            return false;
    }
    return true;
}

QList<QVariantList> fetchRowByRow(const Statement &st, const QList<Kind> &kinds)
{
    QList<QVariantList> rows;
    for (;;) {
        const SQLRETURN f = SQLFetch(st.handle());
        if (f == SQL_NO_DATA)
            break;
        st.check(f, "SQLFetch");
        QVariantList row;
        row.reserve(kinds.size());
        for (SQLUSMALLINT c = 1; c <= kinds.size(); ++c)
            row << readValue(st, c, kinds.at(c - 1));
        rows << std::move(row);
    }
    return rows;
}

QList<QVariantList> fetchInBlocks(const Statement &st, const QList<Kind> &kinds, const QList<SQLULEN> &sizes)
{
    struct Column
    {
        SQLSMALLINT cType = SQL_C_CHAR;
        SQLLEN width = 0;
        std::vector<char> data;
        std::vector<SQLLEN> indicators;
    };
    std::vector<Column> columns(size_t(kinds.size()));
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        Column &c = columns[size_t(i)];
        switch (kinds.at(i)) {
        case Kind::Integer:
            c.cType = SQL_C_SBIGINT;
            c.width = sizeof(SQLBIGINT);
            break;
        case Kind::Real:
            c.cType = SQL_C_DOUBLE;
            c.width = sizeof(double);
            break;
        case Kind::Date:
            c.cType = SQL_C_TYPE_DATE;
            c.width = sizeof(SQL_DATE_STRUCT);
            break;
        case Kind::Time:
            c.cType = SQL_C_TYPE_TIME;
            c.width = sizeof(SQL_TIME_STRUCT);
            break;
        case Kind::DateTime:
            c.cType = SQL_C_TYPE_TIMESTAMP;
            c.width = sizeof(SQL_TIMESTAMP_STRUCT);
            break;
        default:
            // Sizes count characters; a UTF-8 character takes up to four bytes.
            c.cType = SQL_C_CHAR;
            c.width = SQLLEN(sizes.at(i) * 4 + 1);
            break;
        }
        c.data.resize(size_t(c.width) * BlockRows);
        c.indicators.resize(BlockRows);
    }

    SQLULEN fetched = 0;
    st.check(SQLSetStmtAttr(st.handle(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
             "SQLSetStmtAttr");
    st.check(SQLSetStmtAttr(st.handle(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(BlockRows), 0),
             "SQLSetStmtAttr");
    st.check(SQLSetStmtAttr(st.handle(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), "SQLSetStmtAttr");
    for (size_t i = 0; i < columns.size(); ++i) {
        Column &c = columns[i];
        st.check(SQLBindCol(st.handle(), SQLUSMALLINT(i + 1), c.cType, c.data.data(), c.width, c.indicators.data()),
                 "SQLBindCol");
    }

    QList<QVariantList> rows;
    for (;;) {
        const SQLRETURN f = SQLFetch(st.handle());
        if (f == SQL_NO_DATA)
            break;
        st.check(f, "SQLFetch");
        for (SQLULEN r = 0; r < fetched; ++r) {
            QVariantList row;
            row.reserve(qsizetype(columns.size()));
            for (const Column &c : columns) {
                const SQLLEN indicator = c.indicators[r];
                const char *cell = c.data.data() + r * size_t(c.width);
                if (indicator == SQL_NULL_DATA) {
                    row << QVariant();
                    continue;
                }
                switch (c.cType) {
                case SQL_C_SBIGINT: {
                    SQLBIGINT v;
                    memcpy(&v, cell, sizeof v);
                    row << QVariant(qlonglong(v));
                    break;
                }
                case SQL_C_DOUBLE: {
                    double v;
                    memcpy(&v, cell, sizeof v);
                    row << QVariant(v);
                    break;
                }
                case SQL_C_TYPE_DATE: {
                    SQL_DATE_STRUCT d;
                    memcpy(&d, cell, sizeof d);
                    row << QVariant(QDate(d.year, d.month, d.day));
                    break;
                }
                case SQL_C_TYPE_TIME: {
                    SQL_TIME_STRUCT t;
                    memcpy(&t, cell, sizeof t);
                    row << QVariant(QTime(t.hour, t.minute, t.second));
                    break;
                }
                case SQL_C_TYPE_TIMESTAMP: {
                    SQL_TIMESTAMP_STRUCT ts;
                    memcpy(&ts, cell, sizeof ts);
                    row << QVariant(QDateTime(QDate(ts.year, ts.month, ts.day), QTime(ts.hour, ts.minute, ts.second)));
                    break;
                }
                default: {
                    // A value longer than its column says would come back cut: refuse rather than lose it.
                    if (indicator == SQL_NO_TOTAL || indicator >= c.width)
                        throw DbError(QStringLiteral("valor maior que a coluna declarada pelo servidor"));
                    row << QVariant(QString::fromUtf8(cell, qsizetype(indicator)));
                    break;
                }
                }
            }
            rows << std::move(row);
        }
    }
    // The buffers die with this function; later results of the statement
    // (a procedure's status) must not be fetched into them.
    SQLFreeStmt(st.handle(), SQL_UNBIND);
    SQLSetStmtAttr(st.handle(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(st.handle(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    return rows;
}

} // namespace

struct Connection::Handles
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
};

Connection::Connection()
    : m_h(new Handles)
{
}

Connection::~Connection()
{
    close();
    delete m_h;
}

void Connection::open(const QString &connectionString, int timeoutSeconds)
{
    close();
    m_connectionString = connectionString;
    if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_h->env) != SQL_SUCCESS)
        throw DbError(QStringLiteral("Não foi possível iniciar o gerenciador ODBC."));
    SQLSetEnvAttr(m_h->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    checkRc(SQLAllocHandle(SQL_HANDLE_DBC, m_h->env, &m_h->dbc), SQL_HANDLE_ENV, m_h->env, "SQLAllocHandle");
    SQLSetConnectAttr(m_h->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0);
    SQLSetConnectAttr(m_h->dbc, SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0);

    QByteArray in = connectionString.toUtf8();
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(m_h->dbc, nullptr, reinterpret_cast<SQLCHAR *>(in.data()),
                                          SQLSMALLINT(in.size()), out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const QString text = diagnostics(SQL_HANDLE_DBC, m_h->dbc);
        close();
        throw DbError(text);
    }
    m_h->connected = true;
    try {
        execute(QStringLiteral("SET SESSION sql_mode = CONCAT(@@SESSION.sql_mode, ',NO_BACKSLASH_ESCAPES')"));
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close()
{
    if (m_h->dbc != SQL_NULL_HDBC) {
        if (m_h->connected) {
            if (m_inTransaction)
                SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, SQL_ROLLBACK);
            SQLDisconnect(m_h->dbc);
        }
        SQLFreeHandle(SQL_HANDLE_DBC, m_h->dbc);
        m_h->dbc = SQL_NULL_HDBC;
    }
    if (m_h->env != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_h->env);
        m_h->env = SQL_NULL_HENV;
    }
    m_h->connected = false;
    m_inTransaction = false;
}

bool Connection::isOpen() const
{
    return m_h->connected;
}

void Connection::execute(const QString &sql, const QVariantList &params)
{
    run(sql, params, false);
}

ResultSet Connection::query(const QString &sql, const QVariantList &params)
{
    return run(sql, params, true);
}

qint64 Connection::lastInsertId()
{
    const ResultSet rs = query(QStringLiteral("Select LAST_INSERT_ID()"));
    if (rs.isEmpty())
        throw DbError(QStringLiteral("LAST_INSERT_ID() não retornou linha."));
    return rs.value(0, 0).toLongLong();
}

ResultSet Connection::run(const QString &sql, const QVariantList &params, bool wantRows)
{
    if (!m_h->connected)
        throw DbError(QStringLiteral("A conexão com o banco de dados está fechada."));
    Statement st(m_h->dbc);
    if (m_commandTimeout > 0)
        SQLSetStmtAttr(st.handle(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(m_commandTimeout)), 0);

    QByteArray text = sql.toUtf8();
    // MariaDB Connector/ODBC 3.1 answers "Syntax error" to any statement
    // shorter than five bytes ("DO 0", the keep-alive); trailing blanks cure it.
    while (text.size() < 5)
        text.append(' ');
    std::vector<BoundParam> storage;
    SQLRETURN rc;
    if (params.isEmpty()) {
        rc = SQLExecDirect(st.handle(), reinterpret_cast<SQLCHAR *>(text.data()), SQLINTEGER(text.size()));
    } else {
        st.check(SQLPrepare(st.handle(), reinterpret_cast<SQLCHAR *>(text.data()), SQLINTEGER(text.size())),
                 "SQLPrepare");
        bindParams(st, params, storage);
        rc = SQLExecute(st.handle());
    }
    st.check(rc, "SQLExecDirect");

    ResultSet first;
    bool haveFirst = false;
    for (;;) {
        SQLSMALLINT columnCount = 0;
        st.check(SQLNumResultCols(st.handle(), &columnCount), "SQLNumResultCols");
        if (columnCount > 0) {
            if (wantRows && !haveFirst) {
                QStringList names;
                QList<Kind> kinds;
                QList<SQLULEN> sizes;
                for (SQLUSMALLINT c = 1; c <= columnCount; ++c) {
                    SQLCHAR name[256] = {};
                    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
                    SQLULEN size = 0;
                    st.check(SQLDescribeCol(st.handle(), c, name, sizeof name, &nameLength, &type, &size, &digits,
                                            &nullable),
                             "SQLDescribeCol");
                    names << QString::fromUtf8(reinterpret_cast<const char *>(name));
                    kinds << kindOf(type);
                    sizes << size;
                }
                QList<QVariantList> rows =
                    blockFetchable(kinds, sizes) ? fetchInBlocks(st, kinds, sizes) : fetchRowByRow(st, kinds);
                first = ResultSet(names, std::move(rows));
                haveFirst = true;
            } else {
                // Nobody reads these rows, but the connection must see them go.
                while (SQL_SUCCEEDED(SQLFetch(st.handle()))) {
                }
            }
        }
        const SQLRETURN more = SQLMoreResults(st.handle());
        if (more == SQL_NO_DATA)
            break;
        st.check(more, "SQLMoreResults");
    }
    return first;
}

void Connection::beginTransaction()
{
    if (!m_h->connected)
        throw DbError(QStringLiteral("A conexão com o banco de dados está fechada."));
    if (m_inTransaction)
        throw DbError(QStringLiteral("Já existe uma transação aberta nesta conexão."));
    checkRc(SQLSetConnectAttr(m_h->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
            SQL_HANDLE_DBC, m_h->dbc, "SQLSetConnectAttr");
    m_inTransaction = true;
}

void Connection::commit()
{
    endTransaction(SQL_COMMIT);
}

void Connection::rollback()
{
    endTransaction(SQL_ROLLBACK);
}

void Connection::endTransaction(short completion)
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, completion);
    SQLSetConnectAttr(m_h->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    checkRc(rc, SQL_HANDLE_DBC, m_h->dbc, "SQLEndTran");
}

Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_connection.rollback();
        } catch (const DbError &) {
            // The connection is gone; the server has rolled back already.
        }
    }
}

void Transaction::commit()
{
    m_connection.commit();
    m_done = true;
}

} // namespace zentro::db
