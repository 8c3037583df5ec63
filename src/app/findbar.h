#pragma once

#include "edit/findreplace.h"

#include <QToolBar>

class QCheckBox;
class QComboBox;
class LongLineEdit;
class QWidget;

/**
 * The find bar along the bottom of the window: the text to find, whether case matters, whether
 * the whole cell must match, and which columns are searched; with replacing, also the new text.
 * It only asks: the window finds and replaces. Enter and F3 ask for the next match, Shift with
 * either for the previous one; Esc closes the bar.
 */
class FindBar : public QToolBar {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    /** Shows the bar, with the replacing part when replacing, and puts the caret in the text. */
    void open(bool replacing);
    FindReplace::Options options() const;
    QString replacement() const;
    /** Hides the bar; the window gives the grid the focus again. */
    void closeBar();

signals:
    void findRequested(bool backwards);
    void replaceRequested();
    void replaceAllRequested();
    void closed();

private:
    LongLineEdit* m_findText; ///< texts of any length, as cells hold them
    LongLineEdit* m_replaceText;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeCell;
    QComboBox* m_scope;
    QWidget* m_replacing; ///< the replacing part
};
