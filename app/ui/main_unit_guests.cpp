// The guest list of the main window: adding, deleting, the guest click and the row numbers.
#include "app/ui/main_unit.h"

#include "app/ui/cardlabel.h"
#include "app/ui/guestgrid.h"
#include "app/ui/tmp.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>

void TMainForm::btnMyAddClick()
{
    handle([this] {
        m_guests.addGuest(edtMyName->text());
        edtMyName->clear();
        edtMyName->setFocus();
    });
}

void TMainForm::btnMyDelClick()
{
    handle([this] { m_guests.deleteCurrent(); });
}

void TMainForm::btnMyDelAllClick()
{
    handle([this] {
        const int count = m_guests.count();
        if (count == 0) return;
        const auto answer = QMessageBox::question(
            this, QStringLiteral("Tovaro"), QStringLiteral("确定要删除全部 %1 位客人吗？删除后不能恢复。").arg(count),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes) m_guests.deleteAll();
    });
}

void TMainForm::dbgrd1CellClick()
{
    handle([this] { showCurrentGuest(); });
}

void TMainForm::followCurrentGuest()
{
    // Keys, an edit in place, a deletion and a reopened list all move or change the current
    // guest without a click; "打印当前" prints that guest, so the canvas shows it.
    CursorTableModel *model = dbgrd1->cursorModel();
    connect(model, &CursorTableModel::currentRowChanged, this, [this] {
        if (m_guests.isOpen()) handle([this] { showCurrentGuest(); });
    });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] {
        if (m_guests.isOpen()) handle([this] { showCurrentGuest(); });
    });
}

void TMainForm::showCurrentGuest()
{
    const QString name = m_guests.currentName();
    const QString caption = isVerticalLayout() ? stackText(name) : name;
    if (caption == item(0)->caption()) return;
    item(0)->setCaption(caption);
    scheduleOverflowCheck();
}

void TMainForm::dbgrd1DrawColumnCell(QPainter *painter, const QRect &cell, int row,
                                     const QString &columnTitle)
{
    handle([&] {
        if (m_guests.isEmpty() || columnTitle.toUpper() != QStringLiteral("序号")) return;
        painter->drawText(QRect(cell.left() + 2, cell.top(), std::max(0, cell.width() - 2), cell.height()),
                          Qt::AlignLeft | Qt::AlignTop, QString::number(row + 1));
    });
}
