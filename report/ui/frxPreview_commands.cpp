// The preview control's commands: printing, prepared-report files, page settings, clearing,
// freezing, the progress panel, the outline and what a preparation tells the preview.
#include "report/ui/frxPreview.h"

#include "platform/errors.h"
#include "platform/ui/errorguard.h"
#include "platform/recordingcanvas.h"
#include "report/engine/frxEngine.h"
#include "report/output/frxPageExport.h"
#include "report/ui/frxPreviewPageSettings.h"
#include "report/base/frxRes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

namespace frx {

namespace {

constexpr int kPanelWidth = 260;
constexpr int kPanelHeight = 75;

QString fileFilter()
{
    return frxGet(QStringLiteral("clFP3files")) + QStringLiteral(" (*.fp3)");
}

} // namespace

void TfrxPreview::PrintPages()
{
    if (m_working || PageCount() == 0) return;
    if (!ConfirmJobCheck()) return;
    m_pages->SetPageIndex(m_pageNo - 1);
    // The pages must not change under the print run (no preparation, no editing) until it ends.
    whileFrozen([this] {
        if (m_report) m_report->Print(m_pageNo);
    });
}

bool TfrxPreview::ConfirmJobCheck()
{
    const QString findings = m_report && m_report->OnCheckJob ? m_report->OnCheckJob() : QString();
    if (findings.isEmpty()) return true;
    QMessageBox box(QMessageBox::Question, frxGet(QStringLiteral("mbConfirm")), frxGet(QStringLiteral("clJobCheckAsk")),
                    QMessageBox::Yes | QMessageBox::No, this);
    QStringList lines = findings.split(u'\n');
    // The box stays small for a long job; the whole list is under its details.
    constexpr qsizetype shownLines = 8;
    if (lines.size() > shownLines) {
        lines = lines.mid(0, shownLines);
        lines << QStringLiteral("……");
        box.setDetailedText(findings);
    }
    box.setInformativeText(lines.join(u'\n'));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TfrxPreview::SaveAs()
{
    if (m_working || !m_pages) return;
    QString name = QFileDialog::getSaveFileName(this, QString(), QString(), fileFilter(), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (name.isEmpty()) return;
    Workspace->viewport()->update();
    const QFileInfo info(name);
    const QString base = info.suffix().isEmpty() ? name : name.left(name.size() - info.suffix().size() - 1);
    SavePrepared(base + QStringLiteral(".fp3"));
}

void TfrxPreview::ExportPdf()
{
    if (m_working || !m_pages) return;
    QString name = QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("PDF (*.pdf)"), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".pdf");
    Workspace->viewport()->update();
    QString error;
    bool written = false;
    whileFrozen([&] {
        QList<int> indices;
        frxParsePageRange(QString(), m_pages->Count(), indices);
        TfrxReport *report = m_report;
        if (report) {
            report->Terminated = false;
            report->InternalOnProgressStart(ptExporting);
        }
        written = frxExportPdf(*m_pages, indices, name, &error, [report](int page, int) {
            if (!report) return true;
            report->InternalOnProgress(ptExporting, page);
            return !report->Terminated;
        });
        if (report) report->InternalOnProgressStop(ptExporting);
    });
    if (!written && !(m_report && m_report->Terminated))
        throw platform::Error(QStringLiteral("无法导出PDF文件 %1：%2").arg(name, error));
}

void TfrxPreview::SavePrepared(const QString &fileName)
{
    whileFrozen([&] {
        ShowProgressText(frxGet(QStringLiteral("clSaving")));
        m_pages->SaveToFile(fileName);
    });
}

void TfrxPreview::OpenAs()
{
    if (m_working || !m_pages) return;
    const QString name =
        QFileDialog::getOpenFileName(this, QString(), QString(), fileFilter(), nullptr,
                                     QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    if (name.isEmpty()) return;
    OpenPrepared(name);
}

void TfrxPreview::OpenPrepared(const QString &fileName)
{
    // Whatever the file held, the preview shows what the store has afterwards, from page 1.
    whileFrozen(
        [&] {
            ShowProgressText(frxGet(QStringLiteral("clLoading")));
            m_pages->LoadFromFile(fileName, true);
        },
        [this] {
            Thaw();
            ShowPage(1);
        });
}

void TfrxPreview::EditPageSettings()
{
    if (m_working || PageCount() == 0) return;
    // The dialog edits a copy of its own: the store's rebuilt page may leave its cache while the
    // dialog is open (repaints, thumbnails).
    const int index = m_pageNo - 1;
    TfrxReportPage *cached = m_pages->Page(index);
    if (!cached) return;
    TfrxReportPage edited;
    edited.Assign(cached);
    TfrxPageSettingsForm dialog(&edited, m_report, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (dialog.ApplyToAllRB->isChecked()) {
        frxApplyPageSettingsToAll(m_report, edited);
        // The new pages come to this preview even when the report was not shown through it.
        TfrxPreparationObserver *const previous = m_report->PreviewControl;
        if (!previous) m_report->PreviewControl = this;
        struct Restore {
            TfrxReport *report;
            TfrxPreparationObserver *previous;
            ~Restore() { report->PreviewControl = previous; }
        } restore{m_report, previous};
        m_report->PrepareReport(true);
        return;
    }
    whileFrozen([&] {
        TfrxReportPage *page = m_pages->Page(index);
        if (!page) return;
        frxApplyPageSettings(*page, edited);
        m_pages->ModifyPage(index, page);
    });
}

void TfrxPreview::ClearPreview()
{
    if (m_working || !m_pages) return;
    whileFrozen([this] { m_pages->Clear(); });
}

void TfrxPreview::CancelPreparation()
{
    if (m_working && m_report) m_report->Terminated = true;
}

void TfrxPreview::Freeze()
{
    m_frozen = true;
    Workspace->Frozen = Thumbnail->Frozen = true;
}

void TfrxPreview::whileFrozen(const std::function<void()> &body, const std::function<void()> &after)
{
    const auto finish = [&] {
        if (after)
            after();
        else
            Thaw();
    };
    Freeze();
    try {
        body();
    } catch (...) {
        try {
            finish();
        } catch (...) {
        }
        throw;
    }
    finish();
}

void TfrxPreview::Thaw()
{
    HideProgress();
    m_frozen = false;
    Workspace->Frozen = Thumbnail->Frozen = false;
    // Laid out again whether or not the pages changed while frozen.
    m_layoutStale = true;
    ApplyPageChanges();
    Workspace->viewport()->update();
    Thumbnail->viewport()->update();
}

void TfrxPreview::PlaceProgressPanel()
{
    ProgressPanel->move((width() - kPanelWidth) / 2, (height() - kPanelHeight) / 3);
}

void TfrxPreview::ShowProgressText(const QString &text)
{
    PlaceProgressPanel();
    ProgressLabel->setText(text);
    ProgressPanel->show();
    ProgressPanel->raise();
    ProgressPanel->repaint();
}

void TfrxPreview::HideProgress()
{
    ProgressPanel->hide();
    ProgressCancel->hide();
}

// ---- the outline ----

void TfrxPreview::RebuildOutline()
{
    OutlineTree->clear();
    if (!m_pages) return;
    TfrxOutline &outline = m_pages->Outline();
    std::function<void(QTreeWidgetItem *)> addLevel = [&](QTreeWidgetItem *parent) {
        for (int i = 0; i < outline.Count(); ++i) {
            QString text;
            int page = 0, top = 0;
            outline.GetItem(i, text, page, top);
            auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(OutlineTree);
            item->setText(0, text);
            item->setData(0, Qt::UserRole, page);
            item->setData(0, Qt::UserRole + 1, top);
            outline.LevelDown(i);
            addLevel(item);
            outline.LevelUp();
        }
    };
    outline.LevelRoot();
    addLevel(nullptr);
    outline.LevelRoot();
    if (m_report && m_report->PreviewOptions.OutlineExpand) OutlineTree->expandAll();
    if (OutlineTree->topLevelItemCount() > 0) OutlineTree->scrollToItem(OutlineTree->topLevelItem(0));
}

void TfrxPreview::OutlineClick(QTreeWidgetItem *item)
{
    if (!item || PageCount() == 0) return;
    const int page = std::clamp(item->data(0, Qt::UserRole).toInt() + 1, 1, PageCount());
    ScrollToPosition(page - 1, item->data(0, Qt::UserRole + 1).toInt());
}

void TfrxPreview::ExpandAll(bool expand)
{
    if (expand)
        OutlineTree->expandAll();
    else
        OutlineTree->collapseAll();
    if (!m_report || m_working) return;
    bool drillDown = false;
    for (TfrxComponent *object : m_report->AllObjects())
        if (auto *header = dynamic_cast<TfrxGroupHeader *>(object); header && header->DrillDown) {
            header->ExpandDrillDown = expand;
            drillDown = true;
        }
    if (!drillDown) return;
    m_report->DrillState.clear();
    RefreshPreparation();
    if (!expand) Workspace->verticalScrollBar()->setValue(0);
}

// ---- preparation ----

void TfrxPreview::PreparationStarted()
{
    if (m_refreshing) return;
    // ShowReport has emptied the store when asked to (the panes heard of it); an appending run
    // keeps the pages it has.
    if (m_report) m_report->DrillState.clear();
    m_working = true;
    ShowProgressText(frxGet(QStringLiteral("prRunning")).replace(QStringLiteral("%d"), QStringLiteral("1")));
    ProgressCancel->show();
    if (OnStateChanged) OnStateChanged();
}

void TfrxPreview::PageProduced(int pageIndex)
{
    // The pages themselves come through the store's notifications.
    if (m_refreshing) {
        UpdatePageChanged();
        return;
    }
    if (pageIndex == 0) {
        HideProgress();
        if (OnStateChanged) OnStateChanged();
    }
}

void TfrxPreview::PreparationFinished()
{
    if (m_refreshing) return;
    m_working = false;
    HideProgress();
    // The full layout (thumbnails too) and the outline wait for the end of the run.
    m_layoutStale = m_outlineStale = true;
    ApplyPageChanges();
}

void TfrxPreview::RefreshPreparation()
{
    if (!m_report || m_working) return;
    const int horizontal = Workspace->horizontalScrollBar()->value();
    const int vertical = Workspace->verticalScrollBar()->value();
    const int page = m_pageNo;
    m_refreshing = true;
    m_working = true;
    struct Restore {
        TfrxPreview *preview;
        ~Restore()
        {
            preview->m_refreshing = false;
            preview->m_working = false;
        }
    } restore{this};
    m_report->PrepareReport(true);
    m_refreshing = false;
    m_working = false;
    m_pageNo = page <= PageCount() ? page : 1;
    Workspace->PageNo = Thumbnail->PageNo = m_pageNo;
    m_layoutStale = m_outlineStale = true;
    ApplyPageChanges();
    Workspace->horizontalScrollBar()->setValue(horizontal);
    Workspace->verticalScrollBar()->setValue(vertical);
    Workspace->viewport()->update();
    Thumbnail->viewport()->update();
}

} // namespace frx
