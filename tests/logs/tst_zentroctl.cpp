#include "CardBytes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using cardbytes::Record;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run zentroctl(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZENTROCTL_PATH), args);
    if (!p.waitForFinished(30000))
        qFatal("zentroctl did not finish");
    Run r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace

class TestZentroctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void decodeCard()
    {
        cardbytes::Image image;
        image.setHeader(cardbytes::marker(0xA001, 0x1234));
        Record a;
        a.name = "JOS\xC9";
        Record b;
        b.transacId = 1001;
        b.type = 98;
        b.value = 77;
        image.setEntry(0, cardbytes::dirEntry(QByteArray::fromHex("000A1B2C3D4E5F60"), 20, 0x0123));
        image.setBlock(20, 2 * 46 + 10, a.bytes() + b.bytes());
        image.setEntry(1, cardbytes::dirEntry(QByteArray::fromHex("1122334455667788"), 0, 0x0200, false));
        image.setEntry(3, cardbytes::dirEntry(QByteArray::fromHex("1122334455667788"), 12800, 0x0200));
        image.setEntry(4, cardbytes::dirEntry(QByteArray::fromHex("99AABBCCDDEEFF00"), 0, 0x0201));
        Record c;
        c.transacId = 5;
        c.cardType = 'F';
        c.name = QByteArray::fromHex("12340000000000000000");
        image.setBlock(0, 46, c.bytes());
        const QString path = write(QStringLiteral("card.bin"), image.bytes);

        const Run r = zentroctl({QStringLiteral("decode-card"), path});
        QCOMPARE(r.exitCode, 0);
        const QByteArray expected =
            "HW_SERIE;NAME_USER;GR_USER;VM_ID;TRANSAC_ID;TRANSAC_DH;TRANSAC_TP;PROD_ID;PROD_ID_VM;CARDTYPE;PURSE_ID;"
            "SEQT_CARD;TRANSAC_VL;CARD_ID;CARD_IDENT;SALDO_INI;TAG;VALID_CRC;IS_LOG_ERROR;EDITADO;ID_CLIENTE;CRC\r\n"
            "000A1B2C3D4E5F60;JOS\xC9;A;7;1000;2024-01-31 "
            "14:25:01;10;55;12;1;0;42;250;123456;123456;1000;1;0;0;0;0;0\r\n"
            "000A1B2C3D4E5F60;JOAO;A;7;1001;2024-01-31 14:25:01;98;55;12;1;0;42;0;123456;77;1000;1;0;0;0;0;0\r\n"
            "99AABBCCDDEEFF00;CARD SN;A;7;5;2024-01-31 "
            "14:25:01;10;55;12;70;0;42;250;123456;1234000000000000000;1000;1;0;"
            "0;0;0;0\r\n";
        QCOMPARE(r.out, expected);
        QVERIFY2(r.err.contains(QStringLiteral("Entrada 1: inválida")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Entrada 3: recusada")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("livres 124, inválidas 1, válidas 2, recusadas 1 - Logs: 3")),
                 qPrintable(r.err));
    }

    void emptyCard()
    {
        const QString path = write(QStringLiteral("empty.bin"), cardbytes::Image().bytes);
        const Run r = zentroctl({QStringLiteral("decode-card"), path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count('\n'), 1);
        QVERIFY2(r.err.contains(QStringLiteral("Cartão de coleta vazio!")), qPrintable(r.err));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString shortFile = write(QStringLiteral("short.bin"), QByteArray(823359, '\0'));
        QTest::newRow("file of another size")
            << QStringList{QStringLiteral("decode-card"), shortFile} << QStringLiteral("tem 823359 bytes");
        QTest::newRow("missing file") << QStringList{QStringLiteral("decode-card"),
                                                     m_dir.filePath(QStringLiteral("none.bin"))}
                                      << QStringLiteral("Não foi possível ler o arquivo");
        QTest::newRow("a folder") << QStringList{QStringLiteral("decode-card"), m_dir.path()}
                                  << QStringLiteral("Não foi possível ler o arquivo");
        QTest::newRow("no image named") << QStringList{QStringLiteral("decode-card")} << QStringLiteral("Uso:");
        QTest::newRow("no command") << QStringList{} << QStringLiteral("Uso:");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("decode")}
                                         << QStringLiteral("Comando desconhecido: decode");
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = zentroctl(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the test image");
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestZentroctl)
#include "tst_zentroctl.moc"
