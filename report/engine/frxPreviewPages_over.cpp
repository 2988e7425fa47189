// What lies under the mouse on a drawn prepared page, and what a click on it leads to.
#include "report/engine/frxPreviewPages.h"
#include "report/base/frxPageGeometry.h"

using namespace Qt::StringLiterals;

namespace frx {

namespace {

// A hint "short|long": the part shown beside the mouse, and the part for the status line.
QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.first(bar);
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.sliced(bar + 1);
}

TfrxGroupHeader *drillDownHeader(TfrxComponent *object)
{
    auto *header = dynamic_cast<TfrxGroupHeader *>(object);
    if (header && header->DrillDown) return header;
    if (dynamic_cast<TfrxView *>(object)) {
        header = dynamic_cast<TfrxGroupHeader *>(object->Parent());
        if (header && header->DrillDown) return header;
    }
    return nullptr;
}

} // namespace

void TfrxPreviewPages::ObjectOver(int index, int x, int y, bool clicked, bool doubleClick, Extended scaleX,
                                  Extended scaleY, Extended offsetX, Extended offsetY,
                                  TfrxObjectOverHost &host)
{
    if (m_runActive || index < 0 || index >= Count()) return;
    TfrxReportPage *page = Page(index);
    if (!page) return;
    host.SetStatusText(0, {});
    host.SetStatusText(1, {});

    const bool mirrored = page->MirrorMargins && index % 2 == 1;
    const qint64 originX = roundHalfEven(marginOriginX(*page, mirrored, scaleX, offsetX));
    const qint64 originY = roundHalfEven(marginOriginY(*page, scaleY, offsetY));
    const QList<TfrxComponent *> objects = page->AllObjects();
    for (qsizetype i = objects.size() - 1; i >= 0; --i) {
        TfrxComponent *object = objects[i];
        auto *view = dynamic_cast<TfrxView *>(object);
        TfrxGroupHeader *header = drillDownHeader(object);
        if (!view && !header) continue;
        const qint64 left = originX + roundHalfEven(object->AbsLeft() * scaleX);
        const qint64 top = originY + roundHalfEven(object->AbsTop() * scaleY);
        const qint64 right = left + roundHalfEven(object->Width() * scaleX);
        const qint64 bottom = top + roundHalfEven(object->Height() * scaleY);
        if (x < left || x >= right || y < top || y >= bottom) {
            if (view && view->ShowHint) host.SetHintsShown(false);
            continue;
        }

        if (header) {
            host.SetCursor(crHandPoint);
            if (clicked && !doubleClick)
                host.ToggleDrillDown(header->Name() + u'.' + QString::number(header->Tag));
            return;
        }

        host.SetCursor(view->Cursor != 0 ? view->Cursor : view->URL.isEmpty() ? crDefault : crHandPoint);
        if (!view->URL.isEmpty()) host.SetStatusText(0, view->URL);
        if (!view->Hint.isEmpty() && view->ShowHint && host.HintsShown()) {
            host.SetStatusText(1, longHint(view->Hint));
            host.ShowHint(shortHint(view->Hint));
        }
        if (!clicked) {
            host.MouseOverObject(view);
            return;
        }
        const QString url = view->URL;
        if (url.startsWith(u'@')) {
            bool ok = false;
            const int pageNo = url.sliced(1).trimmed().toInt(&ok);
            if (ok) host.GoToPage(pageNo);
        } else if (url.startsWith(u'#')) {
            int anchorPage = 0, anchorTop = 0;
            FindAnchor(url.sliced(1), anchorPage, anchorTop);
            host.GoToPosition(anchorPage, anchorTop);
        } else if (!url.isEmpty()) {
            host.OpenUrl(url);
        }
        if (host.ClickObject(view, doubleClick)) ModifyPage(index, page);
        return;
    }
    host.SetCursor(crDefault);
}

} // namespace frx
