// Reading the server's version file, and the versioned executable names of the start-up scan.
#include "update/appversion.h"
#include "update/versionfile.h"

#include <QtTest>

class tst_VersionFile : public QObject
{
    Q_OBJECT

private slots:
    void evaluatesVersionFile_data();
    void evaluatesVersionFile();
    void takesBodyUpToFirstNul();
    void leftoverAction_data();
    void leftoverAction();
    void executableNameFollowsAppVersion_data();
    void executableNameFollowsAppVersion();
};

void tst_VersionFile::evaluatesVersionFile_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("appCode");
    QTest::addColumn<bool>("firmwareKnown");
    QTest::addColumn<quint32>("firmwareCode");

    QTest::newRow("plain") << QByteArray("x1\n\n10010\n1.0.0") << true << 10010 << true << 0x010000u;
    QTest::newRow("crlf") << QByteArray("x1\r\n\r\n10010\r\n1.2.3\r\n") << true << 10010 << true << 0x010203u;
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBFx1\n\n10010\n1.2.3\n") << true << 10010 << true << 0x010203u;
    QTest::newRow("spaces around numbers") << QByteArray("v9\n\n  10011 \n 2 . 0 . 1 ") << true << 10011 << true
                                           << 0x020001u;
    QTest::newRow("lines after the fourth ignored") << QByteArray("x1\nanything\n10009\n1.2.3\nmore\n9.9.9")
                                                    << true << 10009 << true << 0x010203u;
    QTest::newRow("first line x") << QByteArray("x\n\n10010\n1.2.3") << false << 0 << false << 0u;
    QTest::newRow("first line ab") << QByteArray("ab\n\n10010\n1.2.3") << false << 0 << false << 0u;
    QTest::newRow("three lines") << QByteArray("x1\n\n10010") << false << 0 << false << 0u;
    QTest::newRow("empty") << QByteArray() << false << 0 << false << 0u;
    QTest::newRow("short first line only") << QByteArray("1") << false << 0 << false << 0u;
    QTest::newRow("non-numeric app version") << QByteArray("x1\n\nnew\n1.2.3") << true << 0 << true << 0x010203u;
    QTest::newRow("app version overflow") << QByteArray("x1\n\n99999999999\n1.2.3") << true << 0 << true
                                          << 0x010203u;
    QTest::newRow("two firmware parts") << QByteArray("x1\n\n10009\n1.2") << true << 10009 << false << 0u;
    QTest::newRow("empty firmware part") << QByteArray("x1\n\n10009\n1..3") << true << 10009 << false << 0u;
    QTest::newRow("non-numeric firmware") << QByteArray("x1\n\n10009\n1.x.3") << true << 10009 << false << 0u;
    QTest::newRow("firmware part above a byte") << QByteArray("x1\n\n10009\n1.256.0") << true << 10009 << false
                                                << 0u;
    QTest::newRow("negative firmware part") << QByteArray("x1\n\n10009\n1.-1.0") << true << 10009 << false << 0u;
    QTest::newRow("four firmware parts") << QByteArray("x1\n\n10009\n1.2.3.4") << true << 10009 << true
                                         << 0x010203u;
}

void tst_VersionFile::evaluatesVersionFile()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    QFETCH(int, appCode);
    QFETCH(bool, firmwareKnown);
    QFETCH(quint32, firmwareCode);

    const ServerVersions versions = parseVersionFile(body);
    QCOMPARE(versions.valid, valid);
    if (!valid)
        return;
    QCOMPARE(versions.appVersionCode, appCode);
    QCOMPARE(versions.firmwareKnown, firmwareKnown);
    if (firmwareKnown)
        QCOMPARE(versions.firmwareCode(), firmwareCode);
}

void tst_VersionFile::takesBodyUpToFirstNul()
{
    const char withNul[] = "x1\n\n10010\n1.2.3\0garbage\n20000";
    const ServerVersions versions = parseVersionFile(QByteArray(withNul, sizeof withNul - 1));
    QVERIFY(versions.valid);
    QCOMPARE(versions.lines.size(), 4);
    QCOMPARE(versions.firmwareCode(), 0x010203u);

    const char cutShort[] = "x1\n\n10010\0\n1.2.3";
    QVERIFY(!parseVersionFile(QByteArray(cutShort, sizeof cutShort - 1)).valid);
}

void tst_VersionFile::leftoverAction_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("action");

    const int skip = int(LeftoverAction::Skip);
    const int remove = int(LeftoverAction::Delete);
    const int offer = int(LeftoverAction::Offer);
    QTest::newRow("older") << "TARNO_CONNECT_PC_V1.0.8.exe" << remove;
    QTest::newRow("own version") << "TARNO_CONNECT_PC_V1.0.9.exe" << remove;
    QTest::newRow("next patch") << "TARNO_CONNECT_PC_V1.0.10.exe" << offer;
    QTest::newRow("newer minor") << "TARNO_CONNECT_PC_V1.1.0.exe" << offer;
    QTest::newRow("two-digit major") << "TARNO_CONNECT_PC_V12.0.0.exe" << offer;
    QTest::newRow("major 10") << "TARNO_CONNECT_PC_V10.0.0.exe" << offer;
    QTest::newRow("minor above a signed byte") << "TARNO_CONNECT_PC_V1.200.0.exe" << offer;
    QTest::newRow("old with big minor") << "TARNO_CONNECT_PC_V0.200.0.exe" << remove;
    QTest::newRow("patch above a signed byte") << "TARNO_CONNECT_PC_V1.0.300.exe" << offer;
    QTest::newRow("unversioned") << "TARNO_CONNECT_PC.exe" << skip;
    QTest::newRow("five parts") << "TARNO_CONNECT_PC_V1.0.9.beta.exe" << skip;
    QTest::newRow("not a version") << "TARNO_CONNECT_PC_backup.1.2.exe" << skip;
    QTest::newRow("letters in number") << "TARNO_CONNECT_PC_V1.0a.9.exe" << skip;
    QTest::newRow("other program") << "OTHER_V9.0.0.exe" << skip;
}

void tst_VersionFile::leftoverAction()
{
    QFETCH(QString, name);
    QFETCH(int, action);
    QCOMPARE(int(::leftoverAction(name)), action);
}

void tst_VersionFile::executableNameFollowsAppVersion_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");

    QTest::newRow("10010") << 10010 << "TARNO_CONNECT_PC_V1.0.10.exe";
    QTest::newRow("20103") << 20103 << "TARNO_CONNECT_PC_V2.1.3.exe";
    QTest::newRow("1280000") << 1280000 << "TARNO_CONNECT_PC_V128.0.0.exe";
}

void tst_VersionFile::executableNameFollowsAppVersion()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    const AppVersion version = AppVersion::fromCode(code);
    QCOMPARE(versionedExecutableName(version), name);
    QVERIFY(versionOfExecutableName(name).has_value());
    QVERIFY(*versionOfExecutableName(name) == version);
}

QTEST_GUILESS_MAIN(tst_VersionFile)
#include "tst_versionfile.moc"
