// Searching the prepared pages for a text: each page is drawn once into a recording canvas and its
// text outputs are scanned in drawing order; the hit shows inverted.
#include "report/ui/frxPreview.h"

#include "platform/recordingcanvas.h"
#include "report/output/frxPainter.h"
#include "report/ui/frxSearchDialog.h"
#include "report/base/frxUtils.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>

namespace frx {

namespace {

// The case option lives for the program run, like the dialog's last text.
bool &lastCaseSensitive()
{
    static bool value = false;
    return value;
}

constexpr int kHitMargin = 20;

} // namespace

bool TfrxPreview::FindText()
{
    if (m_working || PageCount() == 0) return false;
    TfrxSearchDialog dialog(this);
    dialog.CaseCB->setChecked(lastCaseSensitive());
    if (dialog.exec() != QDialog::Accepted) return false;
    lastCaseSensitive() = dialog.CaseCB->isChecked();
    return Find(dialog.TextE->text(), dialog.CaseCB->isChecked(), dialog.TopCB->isChecked());
}

bool TfrxPreview::Find(const QString &text, bool caseSensitive, bool fromTop)
{
    if (m_working || PageCount() == 0) return false;
    m_searchText = text;
    m_caseSensitive = caseSensitive;
    m_searchPage = fromTop ? 0 : m_pageNo - 1;
    m_lastHit = -1;
    m_searched = true;
    return SearchFrom(m_searchPage, -1);
}

bool TfrxPreview::FindAgain()
{
    if (m_working || !m_searched || PageCount() == 0) return false;
    return SearchFrom(m_searchPage, m_hitFound ? m_lastHit : -1);
}

bool TfrxPreview::SearchFrom(int page, int lastHit)
{
    if (m_searchText.isEmpty()) return false;
    const QString needle = m_caseSensitive ? m_searchText : m_searchText.toUpper();
    for (int index = std::max(0, page); index < PageCount(); ++index) {
        if (m_recordedPage != index || !m_recorded) {
            m_recorded = std::make_unique<platform::RecordingCanvas>(96);
            frxDrawPage(*m_pages, index, *m_recorded, 1, 1, 0, 0);
            m_recorded->finish();
            m_recordedPage = index;
        }
        const std::vector<platform::TextRecord> &records = m_recorded->textRecords();
        for (int i = lastHit + 1; i < int(records.size()); ++i) {
            const QString &text = records[size_t(i)].text;
            if (!(m_caseSensitive ? text : text.toUpper()).contains(needle)) continue;
            m_searchPage = index;
            m_lastHit = i;
            m_hitRect = records[size_t(i)].bounds;
            m_hitFound = true;
            ScrollToHit();
            return true;
        }
        lastHit = -1;
    }
    return false;
}

void TfrxPreview::ScrollToHit()
{
    const QRect page = Workspace->PageList.PageRect(m_searchPage, Workspace->AvailableWidth(), m_zoom);
    const QRect hit(page.left() + int(roundHalfEven(m_hitRect.left() * m_zoom)),
                    page.top() + int(roundHalfEven(m_hitRect.top() * m_zoom)),
                    int(roundHalfEven(m_hitRect.width() * m_zoom)),
                    int(roundHalfEven(m_hitRect.height() * m_zoom)));
    QScrollBar *vertical = Workspace->verticalScrollBar();
    QScrollBar *horizontal = Workspace->horizontalScrollBar();
    const int viewHeight = Workspace->viewport()->height();
    const int viewWidth = Workspace->viewport()->width();
    m_showingPage = true;
    if (hit.top() - kHitMargin < vertical->value())
        vertical->setValue(hit.top() - kHitMargin);
    else if (hit.bottom() + kHitMargin > vertical->value() + viewHeight)
        vertical->setValue(hit.bottom() + kHitMargin - viewHeight);
    if (hit.left() - kHitMargin < horizontal->value())
        horizontal->setValue(hit.left() - kHitMargin);
    else if (hit.right() + kHitMargin > horizontal->value() + viewWidth)
        horizontal->setValue(hit.right() + kHitMargin - viewWidth);
    m_showingPage = false;
    if (m_searchPage + 1 != m_pageNo) {
        m_pageNo = m_searchPage + 1;
        Workspace->PageNo = Thumbnail->PageNo = m_pageNo;
        Thumbnail->viewport()->update();
        UpdatePageChanged();
    }
    Workspace->SetHighlight(m_searchPage, m_hitRect);
}

} // namespace frx
