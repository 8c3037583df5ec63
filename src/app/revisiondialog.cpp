#include "revisiondialog.h"

#include "model/faretable.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using FareRevision::Rounding;

/** The fares a revision acts on, in the grid's words. */
QString scopeText(const FareTable& table, const std::optional<CellRange>& block)
{
    const CellRange fares = FareRevision::targetCells(table, block);
    if (!block) {
        if (fares.isEmpty())
            return QStringLiteral("対象: 保存される停留所がありません。");
        return QStringLiteral("対象: 保存されるすべての停留所（停留所 1〜%1）の運賃")
            .arg(FareTable::stopOfRow(fares.bottom));
    }
    if (fares.isEmpty())
        return QStringLiteral("対象: 選択範囲に停留所の運賃のセルがありません。");
    return QStringLiteral("対象: 選択範囲（停留所 %1〜%2、整理券 %3〜%4）の運賃")
        .arg(FareTable::stopOfRow(fares.top))
        .arg(FareTable::stopOfRow(fares.bottom))
        .arg(FareTable::ticketOfColumn(fares.left))
        .arg(FareTable::ticketOfColumn(fares.right));
}

QLineEdit* field(const QString& name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

/** A row of the form: its caption, whose access key goes to buddy, and what follows it. */
void addRow(QFormLayout* form, const QString& caption, QWidget* buddy, QLayout* row)
{
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    form->addRow(label, row);
}

/** A field with its unit and a hint after it. */
QHBoxLayout* withHint(QWidget* widget, const QString& hint)
{
    auto* row = new QHBoxLayout;
    row->addWidget(widget);
    row->addWidget(new QLabel(hint, widget->parentWidget()), 1);
    return row;
}

} // namespace

RevisionDialog::RevisionDialog(const FareTable& table, const std::optional<CellRange>& block,
                               const FareRevision::Rule& rule, QWidget* parent)
    : QDialog(parent), m_table(table), m_block(block), m_rule(rule)
{
    setObjectName(QStringLiteral("RevisionDialog"));
    setWindowTitle(QStringLiteral("運賃の一括変更"));
    auto* layout = new QVBoxLayout(this);
    auto* scope = new QLabel(scopeText(table, block), this);
    scope->setObjectName(QStringLiteral("RevisionScope"));
    layout->addWidget(scope);
    layout->addWidget(new QLabel(QStringLiteral("新しい運賃 ＝（運賃 × 倍率 ＋ 加算額）を単位で"
                                                "端数処理した額（最低運賃より安ければ最低運賃）"),
                                 this));

    auto* form = new QFormLayout;
    m_ratio = field(QStringLiteral("RevisionRatio"), FareRevision::ratioText(rule), this);
    addRow(form, QStringLiteral("倍率(&M):"), m_ratio,
           withHint(m_ratio, QStringLiteral("110/108 のような分数か 1.1 のような小数")));
    m_add = field(QStringLiteral("RevisionAdd"), QString::number(rule.add), this);
    addRow(form, QStringLiteral("加算額(&A):"), m_add,
           withHint(m_add, QStringLiteral("円（値下げはマイナス、例: -20）")));

    auto* rounding = new QHBoxLayout;
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("RevisionUnit"));
    for (const int unit : {1, 5, 10, 50, 100})
        m_unit->addItem(QStringLiteral("%1 円").arg(unit), unit);
    if (m_unit->findData(int(rule.unit)) < 0) // a unit from elsewhere stays as it was
        m_unit->addItem(QStringLiteral("%1 円").arg(rule.unit), int(rule.unit));
    m_unit->setCurrentIndex(m_unit->findData(int(rule.unit)));
    rounding->addWidget(m_unit);
    rounding->addWidget(new QLabel(QStringLiteral("単位で"), this));
    m_rounding = new QButtonGroup(this);
    const struct {
        const char* caption;
        const char* name;
        Rounding rounding;
    } choices[] = {{"切り上げ(&U)", "RevisionUp", Rounding::Up},
                   {"四捨五入(&N)", "RevisionNearest", Rounding::Nearest},
                   {"切り捨て(&D)", "RevisionDown", Rounding::Down}};
    for (const auto& choice : choices) {
        auto* button = new QRadioButton(QString::fromUtf8(choice.caption), this);
        button->setObjectName(QLatin1String(choice.name));
        button->setChecked(choice.rounding == rule.rounding);
        m_rounding->addButton(button, int(choice.rounding));
        rounding->addWidget(button);
    }
    rounding->addStretch(1);
    addRow(form, QStringLiteral("端数の処理(&R):"), m_unit, rounding);
    m_lowest = field(QStringLiteral("RevisionLowest"),
                     rule.lowest > 0 ? QString::number(rule.lowest) : QString(), this);
    m_lowest->setPlaceholderText(QStringLiteral("なし"));
    addRow(form, QStringLiteral("最低運賃(&L):"), m_lowest,
           withHint(m_lowest, QStringLiteral("円（空欄なら指定しません）")));
    layout->addLayout(form);

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("RevisionPreview"));
    m_preview->setTextFormat(Qt::PlainText); // names are the user's: never markup
    m_preview->setWordWrap(true);
    m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setMargin(6);
    // Room for the count and every example, so that the dialog keeps its size as they change.
    m_preview->setMinimumHeight(m_preview->fontMetrics().lineSpacing() * (ExampleCount + 3) + 12);
    m_preview->setMinimumWidth(m_preview->fontMetrics().averageCharWidth() * 70);
    layout->addWidget(m_preview, 1);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);

    for (QLineEdit* edit : {m_ratio, m_add, m_lowest})
        connect(edit, &QLineEdit::textChanged, this, &RevisionDialog::updatePreview);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &RevisionDialog::updatePreview);
    connect(m_rounding, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            updatePreview();
    });
    updatePreview();
    m_ratio->selectAll();
    m_ratio->setFocus();
}

QString RevisionDialog::previewText() const
{
    return m_preview->text();
}

bool RevisionDialog::canApply() const
{
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

void RevisionDialog::updatePreview()
{
    using FareRevision::Parameter;
    FareRevision::Rule rule;
    rule.rounding = Rounding(m_rounding->checkedId());
    rule.unit = m_unit->currentData().toInt();
    // An empty amount adds nothing; the other fields say what is wrong with them.
    const QString add = m_add->text().trimmed().isEmpty() ? QStringLiteral("0") : m_add->text();
    QString error = FareRevision::setParameter(rule, Parameter::Multiply, m_ratio->text());
    if (error.isEmpty())
        error = FareRevision::setParameter(rule, Parameter::Add, add);
    if (error.isEmpty())
        error = FareRevision::setParameter(rule, Parameter::Lowest, m_lowest->text());
    QString text = error;
    bool changes = false;
    if (error.isEmpty()) {
        m_rule = rule;
        const FareRevision::Revision revision = FareRevision::plan(m_table, rule, m_block);
        changes = revision.ok() && !revision.changes.empty();
        if (!revision.ok()) {
            text = revision.error;
        } else if (!changes) {
            text = QStringLiteral("この規則で変わる運賃はありません。");
        } else {
            QStringList lines{QStringLiteral("%L1 個の運賃が変わります。")
                                  .arg(qulonglong(revision.changes.size()))};
            const size_t shown = std::min(revision.changes.size(), size_t(ExampleCount));
            for (size_t i = 0; i < shown; ++i)
                lines << QStringLiteral("　") +
                             FareRevision::describeChange(m_table, revision.changes[i]);
            if (revision.changes.size() > shown)
                lines << QStringLiteral("　ほか %L1 個")
                             .arg(qulonglong(revision.changes.size() - shown));
            text = lines.join(u'\n');
        }
    }
    m_preview->setText(text);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(changes);
}
