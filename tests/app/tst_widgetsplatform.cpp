#include "app/revisiondialog.h"
#include "app/widgetsplatform.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestWidgetsPlatform : public QObject {
    Q_OBJECT

private slots:
    void messageBoxShowsTextAsItIs();
    void openDialogAcceptsMissingFile();
    void versionDialogIsModalOverTheWindowAndGoes();
    void revisionDialog_data();
    void revisionDialog();
    void revisionDialogThroughThePlatform();
};

namespace {

/** Stops A (fare 170), B (210, 170) and C (250, 210, 170). */
void fillStops(FareTable& table)
{
    TestTables::fillRows(table, "線 A,1,170 B,2,210,170 C,3,250,210,170");
}

} // namespace

void TestWidgetsPlatform::messageBoxShowsTextAsItIs()
{
    // Markup is shown as it is; CR LF line ends as line ends; no title is the program's name.
    const std::unique_ptr<QMessageBox> box = WidgetsPlatform::createMessageBox(
        QStringLiteral("<b>x</b> in /tmp/<i>a</i>.Hy3\r\n\r\n report it"), QString(),
        Platform::Buttons::YesNoCancel, Platform::Icon::Exclamation, Platform::Answer::No, nullptr);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), QStringLiteral("<b>x</b> in /tmp/<i>a</i>.Hy3\n\n report it"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Farewright"));
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->standardButton(box->defaultButton()), QMessageBox::No);
}

void TestWidgetsPlatform::openDialogAcceptsMissingFile()
{
    QTemporaryDir dir;
    const QString last = dir.filePath(QStringLiteral("last.Hy3"));
    const QList<FileFilter> filters{
        {QStringLiteral("運賃表データ(*.Hy3)"), QStringLiteral("*.Hy3")},
        {QStringLiteral("テキスト"), QStringLiteral("*.txt;*.csv")}};
    const std::unique_ptr<QFileDialog> dialog =
        WidgetsPlatform::createOpenDialog(filters, last, nullptr);
    QCOMPARE(dialog->nameFilters(), QStringList({QStringLiteral("運賃表データ(*.Hy3) (*.Hy3)"),
                                                 QStringLiteral("テキスト (*.txt *.csv)")}));
    QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());

    // A name that does not exist is accepted as typed. Should the dialog object to it, its
    // complaint is closed so the test fails instead of waiting.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(100);
    dialog->open();
    const QString missing = dir.filePath(QStringLiteral("missing.Hy3"));
    dialog->selectFile(missing);
    static_cast<QDialog*>(dialog.get())->accept(); // the Open button
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->selectedFiles(), QStringList({missing}));
}

void TestWidgetsPlatform::versionDialogIsModalOverTheWindowAndGoes()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WidgetsPlatform platform;
    platform.setWindow(&window);
    QString seen;
    QTimer::singleShot(0, &window, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            seen = dialog->windowTitle() + QString::number(dialog->parentWidget() == &window);
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        }
    });
    platform.showVersionDialog();
    QCOMPARE(seen, QStringLiteral("Farewrightのﾊﾞｰｼﾞｮﾝ情報1"));
    QVERIFY(window.findChildren<QDialog*>().isEmpty());
}

void TestWidgetsPlatform::revisionDialog_data()
{
    // The fields as typed, "RATIO|AMOUNT|UNIT|ROUNDING|LOWEST" (rounding U, N or D); the rule
    // they make ("P/Q A U rounding lowest"; "-" when a field is refused), the start of what the
    // preview says, whether OK is enabled.
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<bool>("ok");
    QTest::newRow("a decimal, less an amount, up; five examples")
        << "1.1|-5|10|U|"
        << "11/10 -5 10 0 0"
        << "6 個の運賃が変わります。\n　停留所 1「A」の整理券 1: 170 → 190\n"
           "　停留所 2「B」の整理券 1: 210 → 230\n　停留所 2「B」の整理券 2: 170 → 190\n"
           "　停留所 3「C」の整理券 1: 250 → 270\n　停留所 3「C」の整理券 2: 210 → 230\n"
           "　ほか 1 個"
        << true;
    QTest::newRow("full-width, no amount, down to 100, the lowest fare")
        << "１．１||100|D|200"
        << "11/10 0 100 2 200"
        << "6 個の運賃が変わります。\n　停留所 1「A」の整理券 1: 170 → 200" << true;
    QTest::newRow("a fraction that changes nothing")
        << "110/108|0|10|N|"
        << "55/54 0 10 1 0"
        << "この規則で変わる運賃はありません。" << false;
    QTest::newRow("a result out of range: the first cell named")
        << "200|0|1|N|"
        << "200/1 0 1 1 0"
        << "停留所 1「A」の整理券 1 の運賃 170 は改定すると 34000 になり、1 から 32767 の範囲を"
           "外れます。"
        << false;
    QTest::newRow("no ratio") << "abc|0|10|N|"
                              << "-"
                              << "倍率「abc」は「110/108」のような分数か「1.1」のような小数で"
                                 "指定してください。"
                              << false;
    QTest::newRow("an amount too large") << "1|40000|10|N|"
                                         << "-"
                                         << "加算額「40000」は -32767 から 32767 までの整数で"
                                            "指定してください。"
                                         << false;
}

void TestWidgetsPlatform::revisionDialog()
{
    QFETCH(QString, fields);
    QFETCH(QString, rule);
    QFETCH(QString, preview);
    QFETCH(bool, ok);
    FareTable table;
    fillStops(table);
    RevisionDialog dialog(table, std::nullopt, FareRevision::Rule{});
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("RevisionScope"))->text(),
             QStringLiteral("対象: 保存されるすべての停留所（停留所 1〜3）の運賃"));
    const QStringList typed = fields.split(u'|');
    dialog.findChild<QLineEdit*>(QStringLiteral("RevisionRatio"))->setText(typed[0]);
    dialog.findChild<QLineEdit*>(QStringLiteral("RevisionAdd"))->setText(typed[1]);
    auto* unit = dialog.findChild<QComboBox*>(QStringLiteral("RevisionUnit"));
    unit->setCurrentIndex(unit->findData(typed[2].toInt()));
    const char* rounding = typed[3] == u'U'   ? "RevisionUp"
                           : typed[3] == u'N' ? "RevisionNearest"
                                              : "RevisionDown";
    dialog.findChild<QRadioButton*>(QLatin1String(rounding))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("RevisionLowest"))->setText(typed[4]);
    const FareRevision::Rule& r = dialog.rule();
    const QString made = QString::asprintf("%lld/%lld %lld %lld %d %lld", r.numerator,
                                           r.denominator, r.add, r.unit, int(r.rounding), r.lowest);
    QVERIFY(rule == u'-' || made == rule);
    QCOMPARE(dialog.previewText().left(preview.size()), preview);
    QCOMPARE(dialog.canApply(), ok);
}

void TestWidgetsPlatform::revisionDialogThroughThePlatform()
{
    // Modal over the window, about the fares of the block; Enter chooses the rule, Esc nothing.
    QWidget window;
    window.show();
    WidgetsPlatform platform;
    platform.setWindow(&window);
    FareTable table;
    fillStops(table);
    QStringList seen;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTimer::singleShot(0, &window, [&seen, key] {
            QWidget* dialog = QApplication::activeModalWidget();
            seen << dialog->findChild<QLabel*>(QStringLiteral("RevisionScope"))->text();
            QTest::keyClick(dialog->focusWidget(), key);
        });
        const std::optional<FareRevision::Rule> rule =
            platform.chooseRevision(table, CellRange{3, 1, 4, 4}, FareRevision::Rule{11, 10});
        seen << (rule ? FareRevision::ratioText(*rule) : QStringLiteral("-"));
    }
    const QString scope = QStringLiteral("対象: 選択範囲（停留所 2〜3、整理券 1〜2）の運賃");
    QCOMPARE(seen, QStringList({scope, QStringLiteral("11/10"), scope, QStringLiteral("-")}));
}

QTEST_MAIN(TestWidgetsPlatform)
#include "tst_widgetsplatform.moc"
