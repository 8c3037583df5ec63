#pragma once

#include "edit/farerevision.h"

#include <QDialog>
#include <optional>

class FareTable;
class QButtonGroup;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

/**
 * The fare revision's dialog: multiply by a ratio ("110/108", "1.1"), add an amount, round to a
 * unit of 1, 5, 10, 50 or 100 yen up, to the nearest or down, and an optional lowest fare. It
 * says which fares it acts on (a block, or every stored stop) and, as the fields change, how many
 * fares the rule changes with a few examples ("停留所 3「本町」の整理券 2: 170 → 180"), or why
 * the rule is refused (a field that is no valid value, a fare that would leave 1..32767); OK is
 * enabled only when the rule changes some fare and is not refused. It reads the table only.
 */
class RevisionDialog : public QDialog {
    Q_OBJECT

public:
    /** The examples the preview shows at most. */
    static constexpr int ExampleCount = 5;

    RevisionDialog(const FareTable& table, const std::optional<CellRange>& block,
                   const FareRevision::Rule& rule, QWidget* parent = nullptr);

    /** The rule the fields make; it is what OK chooses. */
    const FareRevision::Rule& rule() const { return m_rule; }
    /** What the preview shows: the count and the examples, or why the rule is refused. */
    QString previewText() const;
    /** Whether OK may be pressed. */
    bool canApply() const;

private:
    void updatePreview();

    const FareTable& m_table;
    std::optional<CellRange> m_block;
    FareRevision::Rule m_rule;
    QLineEdit* m_ratio;
    QLineEdit* m_add;
    QComboBox* m_unit;
    QButtonGroup* m_rounding;
    QLineEdit* m_lowest;
    QLabel* m_preview;
    QDialogButtonBox* m_buttons;
};
