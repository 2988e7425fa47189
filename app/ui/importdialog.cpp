#include "app/ui/importdialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString remark(ImportStatus status)
{
    switch (status) {
    case ImportStatus::New:
        return {};
    case ImportStatus::Empty:
        return QStringLiteral("空姓名，不添加");
    case ImportStatus::DuplicateInFile:
        return QStringLiteral("文件中重复");
    case ImportStatus::AlreadyInList:
        return QStringLiteral("名单中已有");
    }
    return {};
}

} // namespace

TImportDialog::TImportDialog(const QString &source, const GuestImport &plan, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_import"));
    setWindowTitle(QStringLiteral("导入名单"));
    resize(360, 420);
    m_new = plan.count(ImportStatus::New);
    m_empty = plan.count(ImportStatus::Empty);
    m_inFile = plan.count(ImportStatus::DuplicateInFile);
    m_inList = plan.count(ImportStatus::AlreadyInList);

    lblSource =
        new QLabel(QStringLiteral("来源：%1（共 %2 行）").arg(source).arg(plan.entries().size()), this);
    lblSource->setObjectName(QStringLiteral("lblSource"));

    tblNames = new QTableWidget(int(plan.entries().size()), 2, this);
    tblNames->setObjectName(QStringLiteral("tblNames"));
    tblNames->setHorizontalHeaderLabels({QStringLiteral("客人姓名"), QStringLiteral("说明")});
    tblNames->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblNames->setSelectionMode(QAbstractItemView::NoSelection);
    tblNames->verticalHeader()->setDefaultSectionSize(18);
    tblNames->horizontalHeader()->setStretchLastSection(true);
    tblNames->setColumnWidth(0, 140);
    for (int row = 0; row < plan.entries().size(); ++row) {
        const ImportEntry &entry = plan.entries().at(row);
        tblNames->setItem(row, 0, new QTableWidgetItem(entry.name));
        auto *note = new QTableWidgetItem(remark(entry.status));
        if (entry.status != ImportStatus::New) note->setForeground(QColor(0xC0, 0x00, 0x00));
        tblNames->setItem(row, 1, note);
    }

    chkKeep = new QCheckBox(QStringLiteral("重复的姓名也添加"), this);
    chkKeep->setObjectName(QStringLiteral("chkKeep"));
    chkKeep->setEnabled(m_inFile + m_inList > 0);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    btnOk = new QPushButton(QStringLiteral("导入"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkKeep, &QCheckBox::toggled, this, &TImportDialog::updateSummary);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSource);
    layout->addWidget(tblNames);
    layout->addWidget(chkKeep);
    layout->addWidget(lblSummary);
    layout->addLayout(buttons);
    updateSummary();
}

bool TImportDialog::keepDuplicates() const
{
    return chkKeep->isChecked();
}

void TImportDialog::updateSummary()
{
    const int added = m_new + (keepDuplicates() ? m_inFile + m_inList : 0);
    const QString duplicates = keepDuplicates() ? QStringLiteral("添加") : QStringLiteral("跳过");
    lblSummary->setText(
        QStringLiteral("将添加 %1 位客人。空姓名 %2 个，不添加；文件中重复 %3 个，名单中已有 %4 个，%5。")
            .arg(added)
            .arg(m_empty)
            .arg(m_inFile)
            .arg(m_inList)
            .arg(duplicates));
    btnOk->setEnabled(added > 0);
}
