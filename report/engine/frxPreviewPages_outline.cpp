// Outline, anchors and logical page numbers of the prepared pages.
#include "report/engine/frxPreviewPages.h"

using namespace Qt::StringLiterals;

namespace frx {

namespace {

int intProp(const TfrxXMLItem *item, QStringView name)
{
    return item->Prop(name).toInt();
}

// " text="..." page="N" top="N"", the text escaped.
QString entryText(const QString &text, int page, int top)
{
    return u"text=\""_s + xmlEscape(text) + u"\" page=\""_s + QString::number(page) + u"\" top=\""_s +
           QString::number(top) + u'"';
}

// Moves an entry to the next page with its top shifted by delta.
void shiftEntry(TfrxXMLItem *item, int delta)
{
    item->SetProp(u"page", QString::number(intProp(item, u"page") + 1));
    item->SetProp(u"top", QString::number(intProp(item, u"top") + delta));
}

} // namespace

// ---- TfrxOutline ----

TfrxXMLItem *TfrxOutline::current() const
{
    return m_current ? m_current : m_pages->RootChild(u"outline"_s);
}

void TfrxOutline::AddItem(const QString &text, int top)
{
    TfrxXMLItem *item = current()->Add();
    item->SetName(u"item"_s);
    item->SetText(entryText(text, m_pages->PageIndex(), top));
    m_current = item;
}

void TfrxOutline::LevelDown(int index)
{
    m_current = current()->Items(index);
}

void TfrxOutline::LevelRoot()
{
    m_current = nullptr;
}

void TfrxOutline::LevelUp()
{
    TfrxXMLItem *level = current();
    if (level != m_pages->RootChild(u"outline"_s)) m_current = level->Parent();
}

int TfrxOutline::Count() const
{
    return current()->Count();
}

void TfrxOutline::GetItem(int index, QString &text, int &page, int &top) const
{
    const TfrxXMLItem *item = current()->Items(index);
    text = item->Prop(u"text");
    page = intProp(item, u"page");
    top = intProp(item, u"top");
}

TfrxXMLItem *TfrxOutline::Mark() const
{
    TfrxXMLItem *level = current();
    return level->Count() ? level->Items(level->Count() - 1) : nullptr;
}

void TfrxOutline::ShiftFrom(TfrxXMLItem *mark, int newTop)
{
    if (!mark || !mark->Parent()) return;
    TfrxXMLItem *parent = mark->Parent();
    const int first = parent->IndexOf(mark) + 1;
    if (first <= 0 || first >= parent->Count()) return;
    const int delta = newTop - intProp(parent->Items(first), u"top");
    std::vector<TfrxXMLItem *> pending;
    for (int i = first; i < parent->Count(); ++i)
        pending.push_back(parent->Items(i));
    while (!pending.empty()) {
        TfrxXMLItem *item = pending.back();
        pending.pop_back();
        shiftEntry(item, delta);
        for (int i = 0; i < item->Count(); ++i)
            pending.push_back(item->Items(i));
    }
}

// ---- anchors ----

void TfrxPreviewPages::AddAnchor(const QString &text)
{
    TfrxXMLItem *item = RootChild(u"anchors"_s)->Add();
    item->SetName(u"item"_s);
    const int top = m_engine ? int(roundHalfEven(m_engine->CurY())) : 0;
    item->SetText(entryText(text, m_pageIndex, top));
}

bool TfrxPreviewPages::FindAnchor(const QString &text, int &pageIndex, int &top) const
{
    const TfrxXMLItem *anchors = findRootChild(u"anchors");
    if (!anchors) return false;
    for (int i = anchors->Count() - 1; i >= 0; --i) {
        const TfrxXMLItem *item = anchors->Items(i);
        if (item->Prop(u"text").compare(text, Qt::CaseInsensitive) == 0) {
            pageIndex = intProp(item, u"page");
            top = intProp(item, u"top");
            return true;
        }
    }
    return false;
}

int TfrxPreviewPages::GetAnchorPage(const QString &text) const
{
    int page = 0, top = 0;
    return FindAnchor(text, page, top) ? page + 1 : 1;
}

int TfrxPreviewPages::LastAnchorIndex() const
{
    const TfrxXMLItem *anchors = findRootChild(u"anchors");
    return anchors ? anchors->Count() - 1 : -1;
}

void TfrxPreviewPages::ShiftAnchors(int mark, int newTop)
{
    TfrxXMLItem *anchors = RootChild(u"anchors"_s);
    const int first = mark + 1;
    if (first < 0 || first >= anchors->Count()) return;
    const int delta = newTop - intProp(anchors->Items(first), u"top");
    for (int i = first; i < anchors->Count(); ++i)
        shiftEntry(anchors->Items(i), delta);
}

// ---- logical page numbers ----

bool TfrxPreviewPages::finalOfTwoPasses() const
{
    return m_report->EngineOptions.DoublePass && m_engine && m_engine->FinalPass();
}

bool TfrxPreviewPages::firstOfTwoPasses() const
{
    return m_report->EngineOptions.DoublePass && m_engine && !m_engine->FinalPass();
}

void TfrxPreviewPages::NextLogicalPage()
{
    if (finalOfTwoPasses()) return;
    ++m_logicalCounter;
    m_logical.push_back({m_logicalCounter, 0});
}

void TfrxPreviewPages::RestartLogicalPages()
{
    if (finalOfTwoPasses()) return;
    for (int i = m_pageIndex; i > m_passStartPage; --i) {
        if (i >= int(m_logical.size())) continue;
        m_logical[i].t = m_logicalCounter;
        if (m_logical[i].n == 1) break;
    }
    m_logicalCounter = 0;
}

int TfrxPreviewPages::LogicalPageNo() const
{
    if (m_pageIndex >= 0 && m_pageIndex < int(m_logical.size())) return m_logical[m_pageIndex].n;
    return m_pageIndex - m_runFirstPage + 1;
}

int TfrxPreviewPages::LogicalPageCount() const
{
    if (m_pageIndex >= 0 && m_pageIndex < int(m_logical.size())) return m_logical[m_pageIndex].t;
    return (m_engine ? m_engine->TotalPages() : 0) - m_runFirstPage;
}

} // namespace frx
