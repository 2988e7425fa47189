// The guest list of the main window: adding, deleting, the guest click and the row numbers.
#include "app/ui/main_unit.h"

#include "app/ui/cardlabel.h"
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
    handle([this] {
        const QString name = m_guests.currentName();
        item(0)->setCaption(isVerticalLayout() ? stackText(name) : name);
        scheduleOverflowCheck();
    });
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
