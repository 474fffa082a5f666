#pragma once

#include <QString>

// A database of the test's own on the private test server, created from the
// files under db/, with an ODBC data source of the same name in a private
// odbc.ini. Tests never see each other's rows.
//
// The server is the one ./test starts (scripts/test-services); its defaults
// file is named by ZENTRO_TEST_MYCNF.
class TestDatabase
{
public:
    struct Options
    {
        bool demo = false;    // load the demo data set too
        bool base494 = false; // the earliest structure the update chain starts from
        bool empty = false;   // no tables at all
    };

    // Creates (or recreates) database "zt_<name>" and its data source
    // "zt_<name>". Fails the test (and answers false) when the server is not there.
    bool create(const QString &name, Options options);
    bool create(const QString &name) { return create(name, Options{}); }
    void drop();

    QString name() const { return m_name; }
    QString dataSource() const { return m_name; }
    QString connectionString() const;

    // Runs SQL through the command-line client, outside the program's own
    // connection (to prepare fixtures the program could not write).
    bool runSql(const QString &sql, QString *output = nullptr) const;

    // The defaults file of the test server, or empty when none is running.
    static QString serverDefaultsFile();
    // The private odbc.ini of this test process (ODBCINI points at it).
    static QString odbcIni();
    // Adds a data source to the private odbc.ini (an extra name for a database,
    // or one naming a database that does not exist).
    static void addDataSource(const QString &dsn, const QString &database);

private:
    QString m_name;
};
