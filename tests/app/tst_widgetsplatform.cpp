#include "app/widgetsplatform.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using Buttons = Platform::Buttons;
using Icon = Platform::Icon;
using Answer = Platform::Answer;

class TestWidgetsPlatform : public QObject {
    Q_OBJECT

private slots:
    void messageBox_data();
    void messageBox();
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

QTEST_MAIN(TestWidgetsPlatform)
#include "tst_widgetsplatform.moc"
