// Whole guest lists: importing names from a file or a multi-line paste, exporting the list, and
// printing the cards of the guests chosen in the grid.
#include "app/ui/main_unit.h"

#include "app/model/guestfile.h"
#include "app/model/guestimport.h"
#include "app/ui/guestgrid.h"
#include "app/ui/importdialog.h"
#include "platform/errors.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString listFilter = QStringLiteral("名单文件 (*.txt *.csv *.xlsx *.xls);;所有文件 (*)");

// Hands a paste into the watched edit to a handler, which says whether it took it.
class PasteWatcher : public QObject {
public:
    PasteWatcher(QObject *parent, std::function<bool()> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste))
            return m_handler();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool()> m_handler;
};

} // namespace

void TMainForm::btnImportClick()
{
    handle([this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("导入名单"),
                                         QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                         listFilter, nullptr, QFileDialog::DontUseNativeDialog);
        if (!path.isEmpty()) importFile(path);
    });
}

void TMainForm::btnExportClick()
{
    handle([this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("导出名单"),
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(QStringLiteral("客人名单.csv")),
            QStringLiteral("CSV 文件 (*.csv)"), nullptr, QFileDialog::DontUseNativeDialog);
        if (!path.isEmpty()) exportFile(path);
    });
}

void TMainForm::btnPrintSelectedClick()
{
    handle([this] {
        QList<int> rows;
        for (const QModelIndex &index : dbgrd1->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        if (rows.isEmpty() || !commitGuestEdit()) return;
        const QList<qint64> ids = m_guests.ids(rows);
        withGridResting([&] { m_printer->printGuests(printState(), m_guests, ids); });
    });
}

void TMainForm::importFile(const QString &path)
{
    importNames(guestfile::readNames(path), QFileInfo(path).fileName());
}

void TMainForm::importNames(const QStringList &names, const QString &source)
{
    const GuestImport plan(names, m_guests.names());
    TImportDialog dialog(source, plan, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_guests.addGuests(plan.namesToAdd(dialog.keepDuplicates()));
}

void TMainForm::exportFile(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(guestfile::namesToCsv(m_guests.names())) < 0 ||
        !file.commit())
        throw platform::FileError(QStringLiteral("无法写入名单文件“%1”：%2")
                                      .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void TMainForm::watchNamePaste()
{
    edtMyName->installEventFilter(new PasteWatcher(edtMyName, [this] {
        const QString text = QApplication::clipboard()->text();
        const QStringList names = guestfile::namesOfRows(guestfile::parseDelimited(text));
        if (names.size() < 2) return false;
        handle([&] { importNames(names, QStringLiteral("剪贴板")); });
        return true;
    }));
}
