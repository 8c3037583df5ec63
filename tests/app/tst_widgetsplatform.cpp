#include "app/widgetsplatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestWidgetsPlatform : public QObject {
    Q_OBJECT

private slots:
    void messageBoxShowsTextAsItIs();
    void openDialogAcceptsMissingFile();
    void versionDialogIsModalOverTheWindowAndGoes();
};

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

QTEST_MAIN(TestWidgetsPlatform)
#include "tst_widgetsplatform.moc"
