// Money, text and address helpers every window relies on.

#include "app/BuildInfo.h"
#include "app/Helpers.h"
#include "app/TextCodec.h"

#include <QtTest>

using namespace zentro;

class TestHelpers : public QObject
{
    Q_OBJECT

private slots:
    void parseMoney_data();
    void parseMoney();
    void formatMoney_data();
    void formatMoney();
    void splitByChar_data();
    void splitByChar();
    void textFilters();
    void ipv4_data();
    void ipv4();
    void ipv4Bytes();
    void dnsPair_data();
    void dnsPair();
    void cp1252();
    void buildInfo();
};

void TestHelpers::parseMoney_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qlonglong>("cents");
    QTest::newRow("whole reais") << "12" << true << 1200LL;
    QTest::newRow("one decimal") << "12,5" << true << 1250LL;
    QTest::newRow("two decimals") << "12,50" << true << 1250LL;
    QTest::newRow("thousands") << "1.234,56" << true << 123456LL;
    QTest::newRow("thousands without decimals") << "1.234" << true << 123400LL;
    QTest::newRow("millions") << "12.345.678,90" << true << 1234567890LL;
    QTest::newRow("cents only") << "0,05" << true << 5LL;
    QTest::newRow("leading comma") << ",5" << true << 50LL;
    QTest::newRow("negative") << "-1,50" << true << -150LL;
    QTest::newRow("blanks around") << " 7,00 " << true << 700LL;
    QTest::newRow("empty") << "" << false << 0LL;
    QTest::newRow("letters") << "doze" << false << 0LL;
    QTest::newRow("three decimals") << "1,234" << false << 0LL;
    QTest::newRow("misplaced thousands") << "1.23,00" << false << 0LL;
    QTest::newRow("dot as decimal") << "12.5" << false << 0LL;
    QTest::newRow("two commas") << "1,2,3" << false << 0LL;
}

void TestHelpers::parseMoney()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qlonglong, cents);
    const auto parsed = ParseMoney(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, cents);
}

void TestHelpers::formatMoney_data()
{
    QTest::addColumn<qlonglong>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("five cents") << 5LL << "0,05";
    QTest::newRow("zero") << 0LL << "0,00";
    QTest::newRow("thousands") << 1234567LL << "12.345,67";
    QTest::newRow("exactly a thousand") << 100000LL << "1.000,00";
    QTest::newRow("negative") << -123456LL << "-1.234,56";
    QTest::newRow("largest card balance") << 4294967294LL << "42.949.672,94";
}

void TestHelpers::formatMoney()
{
    QFETCH(qlonglong, cents);
    QFETCH(QString, text);
    QCOMPARE(FormatMoney(cents), text);
    QCOMPARE(*ParseMoney(text), cents);
}

void TestHelpers::splitByChar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("plain") << "a;b;c" << QStringList{"a", "b", "c"};
    QTest::newRow("empty piece between") << "a;;c" << QStringList{"a", "", "c"};
    QTest::newRow("final separator adds nothing") << "a;b;" << QStringList{"a", "b"};
    QTest::newRow("leading separator") << ";a" << QStringList{"", "a"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestHelpers::splitByChar()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pieces);
    QCOMPARE(SplitByChar(text, QLatin1Char(';')), pieces);
}

void TestHelpers::textFilters()
{
    QCOMPARE(DigitsOnly(QStringLiteral("(11) 3456-7890")), QStringLiteral("1134567890"));
    QCOMPARE(ToAscii(QStringLiteral("Ação ÁREA ü")), QStringLiteral("Acao AREA u"));
    QCOMPARE(SanitizeText(QStringLiteral("José-Silva 1.º")), QStringLiteral("Jos__Silva 1__"));
    QVERIFY(HasHexLetter(QStringLiteral("0012AB")));
    QVERIFY(!HasHexLetter(QStringLiteral("001234")));
    QVERIFY(!HasHexLetter(QString()));
    QVERIFY(!HasHexLetter(QStringLiteral("12G4AB"))); // G ends the scan before any letter
    QCOMPARE(DoubleChars(QStringLiteral("O'Brien \"x\""), QStringLiteral("'\"")), QStringLiteral("O''Brien \"\"x\"\""));
}

void TestHelpers::ipv4_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "10.0.0.1" << true;
    QTest::newRow("limits") << "255.255.255.0" << true;
    QTest::newRow("octet too large") << "192.168.0.256" << false;
    QTest::newRow("three numbers") << "10.0.0" << false;
    QTest::newRow("five numbers") << "1.2.3.4.5" << false;
    QTest::newRow("blank inside") << "10.0. 0.1" << false;
    QTest::newRow("letters") << "a.b.c.d" << false;
    QTest::newRow("empty") << "" << false;
}

void TestHelpers::ipv4()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIPv4(text), valid);
}

void TestHelpers::ipv4Bytes()
{
    const quint32 v = ParseIPv4(QStringLiteral("192.168.1.20"));
    const uchar *bytes = reinterpret_cast<const uchar *>(&v);
    QCOMPARE(int(bytes[0]), 192);
    QCOMPARE(int(bytes[3]), 20);
    QCOMPARE(SwapIPv4(v), 0xC0A80114u);
    QCOMPARE(ParseIPv4(QStringLiteral("10.0.0")), 0u);
}

void TestHelpers::dnsPair_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("two") << "8.8.8.8,8.8.4.4" << 2 << "8.8.8.8"
                         << "8.8.4.4";
    QTest::newRow("one") << "8.8.8.8" << 1 << "8.8.8.8"
                         << "";
    QTest::newRow("second only") << ",1.1.1.1" << 1 << ""
                                 << "1.1.1.1";
    QTest::newRow("third ignored") << "1.1.1.1,2.2.2.2,3.3.3.3" << 2 << "1.1.1.1"
                                   << "2.2.2.2";
    QTest::newRow("none") << "" << 0 << ""
                          << "";
}

void TestHelpers::dnsPair()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QString a, b;
    QCOMPARE(SplitDnsPair(text, &a, &b), count);
    QCOMPARE(a, first);
    QCOMPARE(b, second);
}

void TestHelpers::cp1252()
{
    const QString text = QStringLiteral("Ação € “aspas” – ÿ");
    const QByteArray bytes = TextCodec::toCp1252(text);
    QCOMPARE(bytes.size(), text.size());
    QCOMPARE(uchar(bytes.at(5)), uchar(0x80)); // the euro sign
    QCOMPARE(TextCodec::fromCp1252(bytes), text);
    QCOMPARE(TextCodec::fromCp1252OrUtf8(text.toUtf8()), text);
    QCOMPARE(TextCodec::fromCp1252OrUtf8(bytes), text);
    QVERIFY(!TextCodec::fitsCp1252(QStringLiteral("☕")));
    QCOMPARE(TextCodec::toCp1252(QStringLiteral("☕")), QByteArray("?"));
}

void TestHelpers::buildInfo()
{
    // Four numbers; the second is the structure version cards and images carry.
    const QStringList parts = GetBuildInfo().split('.');
    QCOMPARE(parts.size(), 4);
    QCOMPARE(parts.at(1), QStringLiteral("505"));
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
