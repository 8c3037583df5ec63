// The installed MIME package as a desktop sees it (XDG_DATA_DIRS names the install prefix): every
// letter case of the three extensions is a fare table, as the editor's own extension rule says.
#include <QMimeDatabase>
#include <QTest>

class TestInstalledTypes : public QObject {
    Q_OBJECT

private slots:
    void typeByName_data();
    void typeByName();
};

void TestInstalledTypes::typeByName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("type");

    const QString hy3 = QStringLiteral("application/x-farewright-hy3");
    const QString hyo = QStringLiteral("application/x-farewright-hyo");
    const QString hyp = QStringLiteral("application/x-farewright-hyp");
    QTest::newRow(".Hy3") << QStringLiteral("路線12.Hy3") << hy3;
    QTest::newRow(".hY3") << QStringLiteral("route.hY3") << hy3;
    QTest::newRow(".HYO") << QStringLiteral("route.HYO") << hyo;
    QTest::newRow(".hyO") << QStringLiteral("route.hyO") << hyo;
    QTest::newRow(".Hyp") << QStringLiteral("route.Hyp") << hyp;
    QTest::newRow(".hyp") << QStringLiteral("route.hyp") << hyp;
    QTest::newRow("blank in the name") << QStringLiteral("route 12.Hy3") << hy3;
    QTest::newRow("extension only inside") << QStringLiteral("route.Hy3.bak") << QString();
    QTest::newRow("other fare-like extension") << QStringLiteral("route.Hy4") << QString();
}

void TestInstalledTypes::typeByName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, type);
    const QMimeType found =
        QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (type.isEmpty())
        QVERIFY2(!found.name().startsWith(QLatin1String("application/x-farewright")),
                 qPrintable(found.name()));
    else
        QCOMPARE(found.name(), type);
}

QTEST_GUILESS_MAIN(TestInstalledTypes)
#include "tst_installedtypes.moc"
