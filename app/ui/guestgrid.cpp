#include "app/ui/guestgrid.h"

#include "platform/ui/errorguard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Default cell painting, then the grid's own painter.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (m_grid->cellPainter()) {
            painter->save();
            m_grid->cellPainter()(painter, option.rect, index.row(),
                                  m_grid->cursorModel()->columns().at(index.column()));
            painter->restore();
        }
    }

private:
    DataGrid *m_grid;
};

} // namespace

CursorTableModel::CursorTableModel(platform::Cursor &cursor, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_cursor(cursor), m_columns(std::move(columns))
{
    m_cursor.addObserver(this);
    reload();
}

CursorTableModel::~CursorTableModel()
{
    m_cursor.removeObserver(this);
}

void CursorTableModel::reload()
{
    m_rows.clear();
    if (m_closing || !m_cursor.isOpen()) return;
    m_reading = true;
    const int current = m_cursor.recordNumber();
    const int count = m_cursor.recordCount();
    for (int n = 1; n <= count; ++n) {
        m_cursor.setRecordNumber(n);
        QStringList texts;
        for (const GridColumn &column : m_columns)
            texts << (column.fieldName.isEmpty() ? QString() : m_cursor.displayText(column.fieldName));
        m_rows << texts;
    }
    if (current > 0 && current <= count) m_cursor.setRecordNumber(current);
    m_reading = false;
}

int CursorTableModel::currentRow() const
{
    if (!m_cursor.isOpen() || m_rows.isEmpty()) return -1;
    const int n = m_cursor.recordNumber();
    return n >= 1 && n <= m_rows.size() ? n - 1 : -1;
}

void CursorTableModel::setCurrentRow(int row)
{
    if (row < 0 || row >= m_rows.size() || row == currentRow()) return;
    m_cursor.setRecordNumber(row + 1);
}

int CursorTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CursorTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CursorTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return m_rows.at(index.row()).at(index.column());
    return {};
}

QVariant CursorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size()) return {};
        if (role == Qt::DisplayRole) return m_columns.at(section).title;
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(m_columns.at(section).titleAlignment);
        return {};
    }
    // The row indicator: a marker on the current record.
    if (role == Qt::DisplayRole) return section == currentRow() ? QStringLiteral("\u25B8") : QString();
    return {};
}

Qt::ItemFlags CursorTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && !m_columns.at(index.column()).fieldName.isEmpty()) result |= Qt::ItemIsEditable;
    return result;
}

bool CursorTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    m_writeFailed = false;
    if (role != Qt::EditRole || !index.isValid()) return false;
    const GridColumn &column = m_columns.at(index.column());
    if (column.fieldName.isEmpty() || value.toString() == m_rows.at(index.row()).at(index.column()))
        return false;
    bool written = false;
    platform::guard(nullptr, [&] {
        m_reading = true;
        try {
            translating([&] {
                m_cursor.setRecordNumber(index.row() + 1);
                m_cursor.edit();
                m_cursor.setValue(column.fieldName, value.toString());
                m_cursor.post();
            });
        } catch (...) {
            if (m_cursor.isOpen() && m_cursor.isEditing()) m_cursor.cancel();
            m_reading = false;
            throw;
        }
        m_reading = false;
        m_rows[index.row()][index.column()] = m_cursor.displayText(column.fieldName);
        written = true;
    });
    m_writeFailed = !written;
    if (written) emit dataChanged(index, index);
    return written;
}

void CursorTableModel::translating(const std::function<void()> &action) const
{
    try {
        action();
    } catch (const platform::DatabaseError &error) {
        if (!m_translate) throw;
        throw m_translate(error);
    }
}

void CursorTableModel::cursorOpened()
{
    beginResetModel();
    reload();
    endResetModel();
    m_markedRow = currentRow();
    emit currentRowChanged(m_markedRow);
}

void CursorTableModel::cursorClosing()
{
    beginResetModel();
    m_closing = true;
    m_rows.clear();
    endResetModel();
    m_closing = false;
    m_markedRow = -1;
}

void CursorTableModel::setResting(bool resting)
{
    if (m_resting == resting) return;
    m_resting = resting;
    if (!resting) currentChanged();
}

void CursorTableModel::currentChanged()
{
    if (m_reading || m_resting) return;
    // Only the rows that lose and gain the mark change: a notice for the whole column makes the
    // header measure every row again, once per guest of a print run.
    const int row = currentRow();
    for (int changed : {m_markedRow, row})
        if (changed >= 0 && changed < rowCount()) emit headerDataChanged(Qt::Vertical, changed, changed);
    m_markedRow = row;
    emit currentRowChanged(row);
}

void CursorTableModel::rowsChanged()
{
    if (m_reading) return;
    beginResetModel();
    reload();
    endResetModel();
    m_markedRow = currentRow();
    emit currentRowChanged(m_markedRow);
}

DataGrid::DataGrid(platform::Cursor &cursor, QList<GridColumn> columns, QWidget *parent)
    : QTableView(parent), m_cursor(cursor), m_model(new CursorTableModel(cursor, std::move(columns), this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows may be chosen (Ctrl and Shift clicks); the current row is the cursor's.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(20);
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidth(c, m_model->columns().at(c).widthPx);

    connect(m_model, &CursorTableModel::currentRowChanged, this, [this] {
        if (m_following) selectCurrentRow();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_following) selectCurrentRow();
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !current.isValid()) return;
                platform::guard(this, [&] { m_model->setCurrentRow(current.row()); });
            });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) emit cellClicked(index.row(), index.column());
    });
}

void DataGrid::setFollowingCursor(bool following)
{
    if (m_following == following) return;
    m_following = following;
    m_model->setResting(!following);
    if (following) selectCurrentRow();
}

void DataGrid::selectCurrentRow()
{
    m_syncing = true;
    const int row = m_model->currentRow();
    if (row < 0) {
        selectionModel()->clearSelection();
    } else if (currentIndex().isValid() && currentIndex().row() == row) {
        // The view moved the cursor here itself and selects as its click or key asked (a Ctrl+click
        // adds the row to the chosen ones).
        scrollTo(currentIndex());
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 1;
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_syncing = false;
}

bool DataGrid::commitPendingEdit()
{
    if (state() != QAbstractItemView::EditingState) return true;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor) return true;
    commitData(editor);
    if (m_model->lastWriteFailed()) return false;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier) &&
        state() != QAbstractItemView::EditingState) {
        platform::guard(this, [&] {
            if (!m_cursor.isOpen() || m_cursor.recordCount() == 0) return;
            const auto answer =
                QMessageBox::question(this, QStringLiteral("Tovaro"), QStringLiteral("删除该记录吗？"),
                                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
            if (answer == QMessageBox::Ok) m_model->translating([this] { m_cursor.deleteCurrent(); });
        });
        return;
    }
    QTableView::keyPressEvent(event);
}
