// Zentro.ini and the installation file, read the way installations write them.

#include "app/Installation.h"
#include "app/InstanceGuard.h"
#include "app/Settings.h"

#include <QtTest>

using namespace zentro;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.path() + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray demoInstallation()
{
    QFile f(QStringLiteral(ZENTRO_SOURCE_DIR) + QStringLiteral("/data/instalacao-demo.ini"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class TestSettingsFiles : public QObject
{
    Q_OBJECT

private slots:
    void profileKeepsSectionsInFileOrder();
    void profileWriteBackKeepsOtherLines();
    void demoInstallationLoads();
    void malformedInstallation_data();
    void malformedInstallation();
    void secondInstanceIsRefused();
};

void TestSettingsFiles::profileKeepsSectionsInFileOrder()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("Zentro.ini"),
                                   "; comentario\r\n[Matriz]\r\nDATASOURCE=zentro_sp\r\nFriendlyName = São Paulo\r\n"
                                   "[vazia]\r\n[SYS_GLOBAL]\r\nPATH_LOG=/tmp/x.htm\r\nLOG_FILE_SIZE=2\r\n"
                                   "[matriz]\r\nDATASOURCE=segunda\r\nEXTRA=1 ; not a comment\r\n");
    QString error;
    const auto profile = ProfileFile::read(path, &error);
    QVERIFY(profile);
    QCOMPARE(profile->sections(), (QStringList{"Matriz", "vazia", "SYS_GLOBAL"}));
    QCOMPARE(profile->value("MATRIZ", "datasource"), QStringLiteral("zentro_sp")); // first value wins
    QCOMPARE(profile->value("Matriz", "FRIENDLYNAME"), QStringLiteral("São Paulo"));
    QCOMPARE(profile->value("Matriz", "EXTRA"), QStringLiteral("1 ; not a comment"));
    QVERIFY(!profile->hasKey("vazia", "DATASOURCE"));
    QCOMPARE(profile->value("vazia", "DATASOURCE", "Zentro"), QStringLiteral("Zentro"));

    // A file written by an older workstation in Windows-1252 reads the same.
    const QString latin = writeFile(dir, QStringLiteral("latin.ini"), "[A]\r\nFRIENDLYNAME=S\xE3o Paulo\r\n");
    QCOMPARE(ProfileFile::read(latin, &error)->value("A", "FRIENDLYNAME"), QStringLiteral("São Paulo"));

    // A missing file reads as one without sections.
    QVERIFY(ProfileFile::read(dir.path() + "/none.ini", &error)->sections().isEmpty());
}

void TestSettingsFiles::profileWriteBackKeepsOtherLines()
{
    QTemporaryDir dir;
    QString error;
    const QString fresh = dir.path() + QStringLiteral("/new.ini");
    QVERIFY(ProfileFile::writeValue(fresh, "GERAL", "DATASOURCE", "Zentro", &error));
    QFile f(fresh);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("[GERAL]\r\nDATASOURCE=Zentro\r\n"));

    const QString path = writeFile(dir, QStringLiteral("old.ini"), "; keep me\r\n[OUTRA]\r\nX=1\r\n");
    QVERIFY(ProfileFile::writeValue(path, "GERAL", "DATASOURCE", "Zentro", &error));
    const auto profile = ProfileFile::read(path, &error);
    QCOMPARE(profile->sections(), (QStringList{"OUTRA", "GERAL"}));
    QCOMPARE(profile->value("OUTRA", "X"), QStringLiteral("1"));
    QFile again(path);
    again.open(QIODevice::ReadOnly);
    QVERIFY(again.readAll().startsWith("; keep me\r\n"));
}

void TestSettingsFiles::demoInstallationLoads()
{
    QTemporaryDir dir;
    QString error;
    const auto inst = Installation::load(writeFile(dir, "instalacao.ini", demoInstallation()), &error);
    QVERIFY2(inst, qPrintable(error));
    QCOMPARE(inst->ownerId, quint16(1001));
    QCOMPARE(inst->ownerTradeName, QStringLiteral("Vending Demonstração Ltda"));
    QCOMPARE(inst->desKey, QByteArray::fromHex("0123456789ABCDEF"));
    QCOMPARE(inst->fileKeys.size(), 3);
    QCOMPARE(inst->fileKeys.at(2), QByteArray::fromHex("33445566778899AA"));
    QCOMPARE(inst->fallbackServerText, QStringLiteral("10.0.0.250"));
    QCOMPARE(inst->cardKeys.size(), 3);
    QCOMPARE(inst->cardKeys.at(1).name, QStringLiteral("Chave Refeitório"));
    QCOMPARE(inst->cardKeys.at(1).number, quint16(101));
    QCOMPARE(inst->cardKeys.at(1).value3, QByteArray::fromHex("A1B2C4"));
    QCOMPARE(inst->cardKeys.at(1).key.size(), 16);
}

void TestSettingsFiles::malformedInstallation_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message");
    QTest::newRow("owner id too large") << QByteArray("ID=1001") << QByteArray("ID=70000")
                                        << "linha 7: ID deve ser um número de 0 a 65535";
    QTest::newRow("short DES key") << QByteArray("CHAVE_DES=0123456789ABCDEF") << QByteArray("CHAVE_DES=0123")
                                   << "linha 12: CHAVE_DES deve ter 16 dígitos hexadecimais";
    QTest::newRow("missing file key") << QByteArray("CHAVE_ARQUIVO_2=") << QByteArray("OUTRA_CHAVE=")
                                      << "falta a chave CHAVE_ARQUIVO_2 na seção [SEGURANCA]";
    QTest::newRow("bad fallback server") << QByteArray("SERVIDOR_RESERVA=10.0.0.250")
                                         << QByteArray("SERVIDOR_RESERVA=10.0.0.300")
                                         << "SERVIDOR_RESERVA deve ser um endereço IPv4 (a.b.c.d)";
    QTest::newRow("gap in card keys") << QByteArray("[CHAVE_CARTAO_2]") << QByteArray("[CHAVE_CARTAO_5]")
                                      << "a seção [CHAVE_CARTAO_5] deveria ser [CHAVE_CARTAO_2]";
    QTest::newRow("card key name too long")
        << QByteArray("NOME=Chave Diretoria") << QByteArray("NOME=Chave da Diretoria Financeira")
        << "NOME deve ter no máximo 24 caracteres";
    QTest::newRow("card value 3 not hex")
        << QByteArray("VALOR_3=A1B2C3") << QByteArray("VALOR_3=A1B2CZ") << "VALOR_3 deve ter 6 dígitos hexadecimais";
    QTest::newRow("line that is not a key")
        << QByteArray("NUMERO=100") << QByteArray("NUMERO 100") << "linha 24: linha inválida";
}

void TestSettingsFiles::malformedInstallation()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);
    QByteArray text = demoInstallation();
    QVERIFY(text.contains(from));
    text.replace(text.indexOf(from), from.size(), to);
    QTemporaryDir dir;
    const QString path = writeFile(dir, "instalacao.ini", text);
    QString error;
    QVERIFY(!Installation::load(path, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(path), qPrintable(error));
}

void TestSettingsFiles::secondInstanceIsRefused()
{
    QTemporaryDir folder;
    QTemporaryDir other;
    {
        InstanceGuard first(folder.path());
        QVERIFY(first.acquire());
        InstanceGuard second(folder.path());
        QVERIFY(!second.acquire());
        InstanceGuard elsewhere(other.path()); // another program folder is another installation
        QVERIFY(elsewhere.acquire());
    }
    InstanceGuard afterwards(folder.path());
    QVERIFY(afterwards.acquire());
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
