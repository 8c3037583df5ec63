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
};

void TestWidgetsPlatform::messageBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<Answer>("defaultButton");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QMessageBox::StandardButtons>("shownButtons");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<QMessageBox::StandardButton>("shownDefault");
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    QTest::newRow("markup is shown as it is")
        << "<b>x</b> in /tmp/<i>a</i>.Hy3"
        << "" << Buttons::Ok << Icon::None << Answer::Ok << "<b>x</b> in /tmp/<i>a</i>.Hy3"
        << "Farewright" << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::NoIcon
        << QMessageBox::Ok;
    QTest::newRow("CR LF line ends")
        << "failed\r\n\r\n report it"
        << "Corvhpurl.dllのエラー" << Buttons::Ok << Icon::Critical << Answer::Ok
        << "failed\n\n report it"
        << "Corvhpurl.dllのエラー" << QMessageBox::StandardButtons(QMessageBox::Ok)
        << QMessageBox::Critical << QMessageBox::Ok;
    QTest::newRow("yes or no, yes by default")
        << "現在編集中のデータはすべて消去されます。よろしいですか？"
        << "新規作成時の確認" << Buttons::YesNo << Icon::Exclamation << Answer::Yes
        << "現在編集中のデータはすべて消去されます。よろしいですか？"
        << "新規作成時の確認" << yesNo << QMessageBox::Warning << QMessageBox::Yes;
    QTest::newRow("yes, no or cancel, no by default")
        << "<p>"
        << "保存の確認" << Buttons::YesNoCancel << Icon::Exclamation << Answer::No << "<p>"
        << "保存の確認" << (yesNo | QMessageBox::Cancel) << QMessageBox::Warning << QMessageBox::No;
}

void TestWidgetsPlatform::messageBox()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(Answer, defaultButton);
    QFETCH(QString, shownText);
    QFETCH(QString, shownTitle);
    QFETCH(QMessageBox::StandardButtons, shownButtons);
    QFETCH(QMessageBox::Icon, shownIcon);
    QFETCH(QMessageBox::StandardButton, shownDefault);
    const std::unique_ptr<QMessageBox> box =
        WidgetsPlatform::createMessageBox(text, title, buttons, icon, defaultButton, nullptr);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), shownText);
    QCOMPARE(box->windowTitle(), shownTitle);
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

QTEST_MAIN(TestWidgetsPlatform)
#include "tst_widgetsplatform.moc"
