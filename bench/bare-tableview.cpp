// The yardstick for the editor's start-up: a bare Qt 6 QTableView over a plain array model of
// the editor's size (302 x 153 texts, a full table's content), shown the way a plain Qt
// program shows a window. scripts/run-bench times both programs to their first painted window.
//
// Usage: bare-tableview [WIDTHxHEIGHT]   (the window's size in pixels, 1024x700 when not given;
//                                         run-bench gives the editor's own)
#include <QAbstractTableModel>
#include <QApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <vector>

namespace {

class ArrayModel : public QAbstractTableModel {
public:
    static constexpr int Rows = 302;
    static constexpr int Cols = 153;

    ArrayModel() : m_cells(Rows * Cols)
    {
        for (int row = 1; row < Rows; ++row) {
            m_cells[row * Cols + 1] = QStringLiteral("東西線停留所名称長い名前の例%1番目の")
                                          .arg(row, 3, 10, QLatin1Char('0'));
            m_cells[row * Cols + 2] = QString::number(row);
            for (int col = 3; col < Cols; ++col)
                m_cells[row * Cols + col] = QString::number((row * 7 + col * 13) % 9000 + 100);
        }
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : Rows;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : Cols;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        return m_cells[index.row() * Cols + index.column()];
    }

private:
    std::vector<QString> m_cells;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ArrayModel model;
    QTableView view;
    view.setModel(&model);
    QSize size(1024, 700);
    if (argc > 1) {
        const QStringList parts = QString::fromLocal8Bit(argv[1]).split(u'x');
        if (parts.size() == 2)
            size = QSize(parts[0].toInt(), parts[1].toInt());
    }
    view.resize(size);
    view.show();
    return app.exec();
}
