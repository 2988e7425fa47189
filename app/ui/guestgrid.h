// The data grid over a cursor: a table model that mirrors the cursor's records and a view whose
// current row is always the cursor's current record; several rows may be selected besides. Columns
// are given by title, width and field (an empty field makes a column the program draws itself);
// the name cell edits in place, and a deletion from the keyboard (Ctrl+Delete) asks for
// confirmation first.
#pragma once

#include "platform/dataset.h"
#include "platform/errors.h"

#include <QAbstractTableModel>
#include <QTableView>

#include <functional>


struct GridColumn {
    QString title;
    int widthPx = 64;
    QString fieldName; // empty: no field
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class CursorTableModel : public QAbstractTableModel, public platform::CursorObserver {
    Q_OBJECT
public:
    CursorTableModel(platform::Cursor &cursor, QList<GridColumn> columns, QObject *parent = nullptr);
    ~CursorTableModel() override;

    const QList<GridColumn> &columns() const { return m_columns; }
    // Row of the cursor's current record, or -1.
    int currentRow() const;
    // Makes row current in the cursor.
    void setCurrentRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    // Turns the cursor's errors into the texts the user sees; none keeps them as they are.
    using ErrorTranslator = std::function<platform::DatabaseError(const platform::DatabaseError &)>;
    void setErrorTranslator(ErrorTranslator translator) { m_translate = std::move(translator); }
    // Runs action on the cursor; its database error is thrown as the translator has it.
    void translating(const std::function<void()> &action) const;
    // True when the last setData() was refused by the cursor.
    bool lastWriteFailed() const { return m_writeFailed; }
    // While resting, moves of the cursor leave the row mark where it is (a print run walks every
    // guest, and each move would have the header measured and the grid laid out and painted again);
    // set back, the mark goes to the current row once.
    void setResting(bool resting);

    void cursorOpened() override;
    void cursorClosing() override;
    void currentChanged() override;
    void rowsChanged() override;

signals:
    void currentRowChanged(int row);

private:
    void reload();

    platform::Cursor &m_cursor;
    QList<GridColumn> m_columns;
    QList<QStringList> m_rows; // display texts per row, one per column with a field
    bool m_reading = false;
    bool m_closing = false;
    bool m_resting = false;
    int m_markedRow = -1; // the row whose header shows the current-row mark
    bool m_writeFailed = false;
    ErrorTranslator m_translate;
};

class DataGrid : public QTableView {
    Q_OBJECT
public:
    // Paints after a cell's default painting; row is the model row, column the grid column.
    using CellPainter =
        std::function<void(QPainter *painter, const QRect &cell, int row, const GridColumn &column)>;

    DataGrid(platform::Cursor &cursor, QList<GridColumn> columns, QWidget *parent = nullptr);

    CursorTableModel *cursorModel() const { return m_model; }
    void setCellPainter(CellPainter painter) { m_cellPainter = std::move(painter); }
    // Writes a cell being edited to the cursor and closes its editor; nothing without one. False
    // when the cursor refused the value (its error box has been shown; the editor stays open).
    bool commitPendingEdit();
    // While false, the grid does not follow the cursor's moves (a print run walks every guest, and
    // following each would repaint the grid per card); set again, it takes the cursor's row once.
    void setFollowingCursor(bool following);
    const CellPainter &cellPainter() const { return m_cellPainter; }

signals:
    // A click into a data cell, after the clicked row has become the current record.
    void cellClicked(int row, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void selectCurrentRow();

    platform::Cursor &m_cursor;
    CursorTableModel *m_model;
    CellPainter m_cellPainter;
    bool m_syncing = false;
    bool m_following = true;
};
