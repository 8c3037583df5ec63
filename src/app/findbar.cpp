#include "findbar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

} // namespace

FindBar::FindBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    toggleViewAction()->setVisible(false);

    auto* content = new QWidget(this);
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(2, 1, 2, 1);
    m_findText = new QLineEdit(content);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->setClearButtonEnabled(true);
    auto* findLabel = new QLabel(QStringLiteral("検索(&N):"), content);
    findLabel->setBuddy(m_findText);
    layout->addWidget(findLabel);
    layout->addWidget(m_findText, 1);
    QPushButton* previous = button(QStringLiteral("前へ"), "FindPrevious", content);
    QPushButton* next = button(QStringLiteral("次へ"), "FindNext", content);
    layout->addWidget(previous);
    layout->addWidget(next);

    m_replacing = new QWidget(content);
    auto* replacing = new QHBoxLayout(m_replacing);
    replacing->setContentsMargins(0, 0, 0, 0);
    m_replaceText = new QLineEdit(m_replacing);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    auto* replaceLabel = new QLabel(QStringLiteral("置換後(&P):"), m_replacing);
    replaceLabel->setBuddy(m_replaceText);
    replacing->addWidget(replaceLabel);
    replacing->addWidget(m_replaceText, 1);
    QPushButton* replace = button(QStringLiteral("置換"), "ReplaceOne", m_replacing);
    QPushButton* replaceAll = button(QStringLiteral("すべて置換"), "ReplaceAll", m_replacing);
    replacing->addWidget(replace);
    replacing->addWidget(replaceAll);
    layout->addWidget(m_replacing, 1);

    m_matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別(&M)"), content);
    m_matchCase->setObjectName(QStringLiteral("FindMatchCase"));
    m_wholeCell = new QCheckBox(QStringLiteral("セル全体が一致(&W)"), content);
    m_wholeCell->setObjectName(QStringLiteral("FindWholeCell"));
    m_scope = new QComboBox(content);
    m_scope->setObjectName(QStringLiteral("FindScope"));
    // In the order of FindReplace::Scope.
    m_scope->addItems(
        {QStringLiteral("すべてのセル"), QStringLiteral("名前だけ"), QStringLiteral("数値だけ")});
    QPushButton* close = button(QStringLiteral("閉じる"), "FindClose", content);
    for (QWidget* widget : {static_cast<QWidget*>(m_matchCase), static_cast<QWidget*>(m_wholeCell),
                            static_cast<QWidget*>(m_scope), static_cast<QWidget*>(close)})
        layout->addWidget(widget);
    addWidget(content);

    // F3 and Shift+F3 while the bar is shown, wherever the focus is in the window; Esc inside it.
    const auto shortcut = [this, content](const QKeySequence& keys, Qt::ShortcutContext context,
                                          auto slot) {
        auto* action = new QAction(content);
        action->setShortcut(keys);
        action->setShortcutContext(context);
        connect(action, &QAction::triggered, this, slot);
        content->addAction(action);
    };
    shortcut(QKeySequence(Qt::Key_F3), Qt::WindowShortcut, [this] { emit findRequested(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), Qt::WindowShortcut,
             [this] { emit findRequested(true); });
    shortcut(QKeySequence(Qt::Key_Escape), Qt::WidgetWithChildrenShortcut, [this] {
        hide();
        emit closed();
    });

    connect(m_findText, &QLineEdit::returnPressed, this, [this] {
        emit findRequested(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(next, &QPushButton::clicked, this, [this] { emit findRequested(false); });
    connect(previous, &QPushButton::clicked, this, [this] { emit findRequested(true); });
    connect(m_replaceText, &QLineEdit::returnPressed, this, &FindBar::replaceRequested);
    connect(replace, &QPushButton::clicked, this, &FindBar::replaceRequested);
    connect(replaceAll, &QPushButton::clicked, this, &FindBar::replaceAllRequested);
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    hide();
}

void FindBar::open(bool replacing)
{
    m_replacing->setVisible(replacing);
    show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

FindReplace::Options FindBar::options() const
{
    FindReplace::Options options;
    options.text = m_findText->text();
    options.matchCase = m_matchCase->isChecked();
    options.wholeCell = m_wholeCell->isChecked();
    options.scope = FindReplace::Scope(m_scope->currentIndex());
    return options;
}

QString FindBar::replacement() const
{
    return m_replaceText->text();
}
