#include "findbar.h"

#include "longlineedit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <iterator>

namespace {

QToolButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* toolButton = new QToolButton(parent);
    toolButton->setText(text);
    toolButton->setObjectName(QString::fromLatin1(name));
    return toolButton;
}

/** A row of the bar: a label, a text box and its buttons. */
QHBoxLayout* row(const QString& label, QLineEdit* text, QWidget* parent)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buddy = new QLabel(label, parent);
    buddy->setBuddy(text);
    layout->addWidget(buddy);
    layout->addWidget(text, 1);
    return layout;
}

} // namespace

FindBar::FindBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    toggleViewAction()->setVisible(false);

    // Two rows, so that the bar fits the window's first width: finding, and replacing below it.
    auto* content = new QWidget(this);
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(2, 1, 2, 1);
    rows->setSpacing(1);
    m_findText = new LongLineEdit(content);
    m_findText->setObjectName(QStringLiteral("FindText"));
    QHBoxLayout* finding = row(QStringLiteral("検索(&N):"), m_findText, content);
    QToolButton* previous = button(QStringLiteral("前へ"), "FindPrevious", content);
    QToolButton* next = button(QStringLiteral("次へ"), "FindNext", content);
    m_matchCase = new QCheckBox(QStringLiteral("大/小文字を区別(&M)"), content);
    m_matchCase->setObjectName(QStringLiteral("FindMatchCase"));
    m_wholeCell = new QCheckBox(QStringLiteral("セル全体(&W)"), content);
    m_wholeCell->setObjectName(QStringLiteral("FindWholeCell"));
    m_scope = new QComboBox(content);
    m_scope->setObjectName(QStringLiteral("FindScope"));
    // In the order of FindReplace::Scope.
    m_scope->addItems({QStringLiteral("全セル"), QStringLiteral("名前"), QStringLiteral("数値")});
    QToolButton* close = button(QStringLiteral("×"), "FindClose", content);
    close->setToolTip(QStringLiteral("閉じる (Esc)"));
    for (QWidget* widget :
         std::initializer_list<QWidget*>{previous, next, m_matchCase, m_wholeCell, m_scope, close})
        finding->addWidget(widget);
    rows->addLayout(finding);

    m_replacing = new QWidget(content);
    m_replaceText = new LongLineEdit(m_replacing);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    QHBoxLayout* replacing = row(QStringLiteral("置換後(&P):"), m_replaceText, m_replacing);
    // Access keys that neither the menu bar (F, E, L, R, C, T, H) nor the rest of the bar uses.
    QToolButton* replace = button(QStringLiteral("置換(&I)"), "ReplaceOne", m_replacing);
    QToolButton* replaceAll = button(QStringLiteral("すべて置換(&A)"), "ReplaceAll", m_replacing);
    replacing->addWidget(replace);
    replacing->addWidget(replaceAll);
    m_replacing->setLayout(replacing);
    rows->addWidget(m_replacing);
    addWidget(content);
    setFocusProxy(m_findText); // F6 comes to the text to find
    // Tab goes from the text to find to the new text first.
    QWidget* order[] = {m_findText, m_replaceText, previous,    next,    replace,
                        replaceAll, m_matchCase,   m_wholeCell, m_scope, close};
    for (int i = 1; i < int(std::size(order)); ++i)
        setTabOrder(order[i - 1], order[i]);

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
    shortcut(QKeySequence(Qt::Key_Escape), Qt::WidgetWithChildrenShortcut, &FindBar::closeBar);

    connect(m_findText, &QLineEdit::returnPressed, this, [this] {
        emit findRequested(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(next, &QToolButton::clicked, this, [this] { emit findRequested(false); });
    connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(true); });
    connect(m_replaceText, &QLineEdit::returnPressed, this, &FindBar::replaceRequested);
    connect(replace, &QToolButton::clicked, this, &FindBar::replaceRequested);
    connect(replaceAll, &QToolButton::clicked, this, &FindBar::replaceAllRequested);
    connect(close, &QToolButton::clicked, this, &FindBar::closeBar);
    hide();
}

void FindBar::closeBar()
{
    hide();
    emit closed();
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
    options.text = m_findText->fullText();
    options.matchCase = m_matchCase->isChecked();
    options.wholeCell = m_wholeCell->isChecked();
    options.scope = FindReplace::Scope(m_scope->currentIndex());
    return options;
}

QString FindBar::replacement() const
{
    return m_replaceText->fullText();
}
