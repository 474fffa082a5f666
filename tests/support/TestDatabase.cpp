#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sourceDir()
{
    const QString env = qEnvironmentVariable("ZENTRO_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(ZENTRO_SOURCE_DIR) : env;
}

QString socketOf(const QString &cnf)
{
    QFile f(cnf);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression re(QStringLiteral("^socket=(.*)$"), QRegularExpression::MultilineOption);
    const auto m = re.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

QString driverPath()
{
    const QStringList candidates = {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so"),
                                    QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libmaodbc.so"),
                                    QStringLiteral("/usr/lib/odbc/libmaodbc.so")};
    for (const QString &c : candidates) {
        if (QFileInfo::exists(c))
            return c;
    }
    return QStringLiteral("libmaodbc.so");
}

QTemporaryDir &privateDir()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

QString TestDatabase::serverDefaultsFile()
{
    QString cnf = qEnvironmentVariable("ZENTRO_TEST_MYCNF");
    if (cnf.isEmpty())
        cnf = sourceDir() + QStringLiteral("/build/test-services/mariadb/my.cnf");
    return QFileInfo::exists(cnf) ? cnf : QString();
}

QString TestDatabase::odbcIni()
{
    const QString path = privateDir().path() + QStringLiteral("/odbc.ini");
    if (qEnvironmentVariable("ODBCINI") != path) {
        qputenv("ODBCINI", path.toLocal8Bit());
        // No system-wide data source should leak into a test.
        qputenv("ODBCSYSINI", privateDir().path().toLocal8Bit());
        QFile(privateDir().path() + QStringLiteral("/odbcinst.ini")).open(QIODevice::WriteOnly);
    }
    return path;
}

void TestDatabase::addDataSource(const QString &dsn, const QString &database)
{
    QFile ini(odbcIni());
    ini.open(QIODevice::Append);
    const QString text = QStringLiteral("[%1]\nDriver=%2\nSOCKET=%3\nDATABASE=%4\nUSER=zentro\nPASSWORD=zentro\n"
                                        "CHARSET=utf8mb4\n\n")
                             .arg(dsn, driverPath(), socketOf(serverDefaultsFile()), database);
    ini.write(text.toUtf8());
}

bool TestDatabase::create(const QString &name, Options options)
{
    const QString cnf = serverDefaultsFile();
    if (cnf.isEmpty()) {
        QTest::qFail("the test MariaDB server is not running: start it with scripts/test-services start "
                     "(./test does this)",
                     __FILE__, __LINE__);
        return false;
    }
    m_name = QStringLiteral("zt_") + name;
    if (options.empty) {
        const QString keep = m_name;
        m_name.clear();
        const bool ok = runSql(
            QStringLiteral("DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` CHARACTER SET utf8mb4;").arg(keep));
        m_name = keep;
        if (!ok) {
            QTest::qFail("creating an empty database failed", __FILE__, __LINE__);
            return false;
        }
        addDataSource(m_name, m_name);
        return true;
    }
    QStringList args = {QStringLiteral("--defaults-file=") + cnf, QStringLiteral("--name=") + m_name};
    if (options.demo)
        args << QStringLiteral("--demo");
    if (options.base494)
        args << QStringLiteral("--version=494");
    QProcess p;
    p.start(sourceDir() + QStringLiteral("/scripts/zentro-db"), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("creating database %1 failed: %2")
                                    .arg(m_name, QString::fromUtf8(p.readAllStandardError()))),
                     __FILE__, __LINE__);
        return false;
    }
    addDataSource(m_name, m_name);
    return true;
}

void TestDatabase::drop()
{
    if (!m_name.isEmpty())
        runSql(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(m_name));
}

QString TestDatabase::connectionString() const
{
    return QStringLiteral("DSN=") + m_name + QStringLiteral(";");
}

bool TestDatabase::runSql(const QString &sql, QString *output) const
{
    QProcess p;
    QStringList args = {QStringLiteral("--defaults-file=") + serverDefaultsFile(), QStringLiteral("-u"),
                        QStringLiteral("root"), QStringLiteral("--batch"), QStringLiteral("--skip-column-names")};
    if (!m_name.isEmpty())
        args << m_name;
    p.start(QStringLiteral("mariadb"), args);
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(60000);
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    if (p.exitCode() != 0) {
        qWarning("mariadb: %s", p.readAllStandardError().constData());
        return false;
    }
    return true;
}
