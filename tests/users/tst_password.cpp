// Password hashing and rules.

#include "users/Password.h"
#include "users/UserRegister.h"

#include <QtTest>

using namespace zentro;

class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    void pinnedHash();
    void nameAndIdTakePart();
    void rules_data();
    void rules();
    void typingFilters();
};

void TestPassword::pinnedHash()
{
    // SHA-1 of "MtRzK" + "ADMIN0" + "admin1234", as stored by every installation.
    QString hash;
    QVERIFY(HashPassword(QLatin1String(PasswordSalt), QStringLiteral("ADMIN0"), QStringLiteral("admin1234"), &hash));
    QCOMPARE(hash, QString::fromLatin1(
                       QCryptographicHash::hash("MtRzKADMIN0admin1234", QCryptographicHash::Sha1).toHex().toUpper()));
    QCOMPARE(hash, QStringLiteral("45C0AB91677565A61EDA404075E8EEEFF46A56D3"));
    QVERIFY(VerifyPassword(QLatin1String(PasswordSalt), QStringLiteral("ADMIN0"), QStringLiteral("admin1234"), hash));
    QVERIFY(!VerifyPassword(QLatin1String(PasswordSalt), QStringLiteral("ADMIN0"), QStringLiteral("admin1235"), hash));
    QVERIFY(!VerifyPassword(QLatin1String(PasswordSalt), QStringLiteral("ADMIN0"), QStringLiteral("admin1234"),
                            hash.toLower()));
    // Accented names hash their 8-bit characters, as the older workstations did.
    QVERIFY(HashPassword(QLatin1String(PasswordSalt), QStringLiteral("JOÃO7"), QStringLiteral("senha123"), &hash));
    QCOMPARE(hash, QString::fromLatin1(
                       QCryptographicHash::hash("MtRzKJO\xC3O7senha123", QCryptographicHash::Sha1).toHex().toUpper()));
}

void TestPassword::nameAndIdTakePart()
{
    QString a, b, c;
    HashPassword(QLatin1String(PasswordSalt), QStringLiteral("MARIA3"), QStringLiteral("segredo12"), &a);
    HashPassword(QLatin1String(PasswordSalt), QStringLiteral("MARIA4"), QStringLiteral("segredo12"), &b);
    HashPassword(QLatin1String(PasswordSalt), QStringLiteral("PEDRO3"), QStringLiteral("segredo12"), &c);
    QVERIFY(a != b);
    QVERIFY(a != c);
}

void TestPassword::rules_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");
    QTest::newRow("eight letters, no digit") << "abcdefgh" << false;
    QTest::newRow("six letters and two digits") << "abcdef12" << true;
    QTest::newRow("seven characters") << "abcde12" << false;
    QTest::newRow("digits only") << "12345678" << false;
    QTest::newRow("upper case and digit") << "ABCDEFG1" << true;
    QTest::newRow("accented letters do not count") << "ççççççç1" << false;
    QTest::newRow("with a blank") << "abc def 1" << true;
}

void TestPassword::rules()
{
    QFETCH(QString, password);
    QFETCH(bool, ok);
    QCOMPARE(CheckPasswordRules(password), ok);
}

void TestPassword::typingFilters()
{
    for (const QChar c : QStringLiteral("!#$%&()*+,-./:;<=>?@[\\]^_{|}~¨ª´ºÇç`"))
        QVERIFY2(!IsNameCharAllowed(c), qPrintable(QString(c)));
    for (const QChar c : QStringLiteral("AZaz09 'ÃÉ\""))
        QVERIFY2(IsNameCharAllowed(c), qPrintable(QString(c)));
    for (const QChar c : QStringLiteral("Aa0 "))
        QVERIFY(IsPasswordCharAllowed(c));
    for (const QChar c : QStringLiteral("!é_-'"))
        QVERIFY(!IsPasswordCharAllowed(c));
}

QTEST_GUILESS_MAIN(TestPassword)
#include "tst_password.moc"
