#include "app/widgetsplatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Buttons = Platform::Buttons;
using Icon = Platform::Icon;
using Answer = Platform::Answer;

class TestWidgetsPlatform : public QObject {
    Q_OBJECT

private slots:
    void messageBox_data();
    void messageBox();
    void openDialogAcceptsMissingFile();
    void versionDialogIsModalOverTheWindowAndGoes();
};

void TestWidgetsPlatform::messageBox_data()
{
    QTest::addColumn<QString>("title"); // none: the program's name
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<Answer>("defaultButton");
    QTest::addColumn<QMessageBox::StandardButtons>("shownButtons");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<QMessageBox::StandardButton>("shownDefault");
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    QTest::newRow("OK") << "" << Buttons::Ok << Icon::Critical << Answer::Ok
                        << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Critical
                        << QMessageBox::Ok;
    QTest::newRow("yes or no, yes by default")
        << "新規作成時の確認" << Buttons::YesNo << Icon::Exclamation << Answer::Yes << yesNo
        << QMessageBox::Warning << QMessageBox::Yes;
    QTest::newRow("yes, no or cancel, no by default")
        << "保存の確認" << Buttons::YesNoCancel << Icon::None << Answer::No
        << (yesNo | QMessageBox::Cancel) << QMessageBox::NoIcon << QMessageBox::No;
}

void TestWidgetsPlatform::messageBox()
{
    QFETCH(QString, title);
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(Answer, defaultButton);
    QFETCH(QMessageBox::StandardButtons, shownButtons);
    QFETCH(QMessageBox::Icon, shownIcon);
    QFETCH(QMessageBox::StandardButton, shownDefault);
    // Markup is shown as it is; CR LF line ends as line ends.
    const std::unique_ptr<QMessageBox> box = WidgetsPlatform::createMessageBox(
        QStringLiteral("<b>x</b> in /tmp/<i>a</i>.Hy3\r\n\r\n report it"), title, buttons, icon,
        defaultButton, nullptr);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), QStringLiteral("<b>x</b> in /tmp/<i>a</i>.Hy3\n\n report it"));
    QCOMPARE(box->windowTitle(), title.isEmpty() ? QStringLiteral("Farewright") : title);
    QCOMPARE(box->standardButtons(), shownButtons);
    QCOMPARE(box->icon(), shownIcon);
    QCOMPARE(box->standardButton(box->defaultButton()), shownDefault);
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
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
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

QTEST_MAIN(TestWidgetsPlatform)
#include "tst_widgetsplatform.moc"
