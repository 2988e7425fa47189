#include "report/engine/frxEngine.h"
#include "report/engine/frxEngine_p.h"
#include "report/base/frxUtils.h"

#include <algorithm>

namespace frx {

namespace {

constexpr Extended Tolerance = 0.0001;
// Blank parts in a row a split band may emit before its objects are taken to be out of reach.
constexpr int MaxEmptyParts = 1000;

struct Area {
    Extended x, y, x1, y1;
};

Area areaOf(const TfrxComponent *object)
{
    const Extended x = object->AbsLeft(), y = object->AbsTop();
    return {x, y, x + object->Width(), y + object->Height()};
}

bool overlapX(const Area &a, const Area &b)
{
    return a.x < b.x1 - Tolerance && a.x1 > b.x + Tolerance;
}

bool overlapY(const Area &a, const Area &b)
{
    return a.y < b.y1 - Tolerance && a.y1 > b.y + Tolerance;
}

QString topKey(Extended top)
{
    return QString::asprintf("%9.2f", double(top));
}

bool bottomFramed(const TfrxComponent *object)
{
    auto *dmp = dynamic_cast<const TfrxDMPMemoView *>(object);
    return dmp && (dmp->Frame().Typ & ftBottom);
}

} // namespace

void TfrxEngine::PrepareBand(TfrxBand *band)
{
    BandInProgress = band;
    BuildShiftTargets(band);
    m_report->CurObject = band->Name();
    band->BeforePrint();
    m_report->NotifyBeforePrint(band);
    bool grown = false, captured = false;
    const bool bandVisible = band->Visible();
    // The copies a vertical master received from vertical bands hold their data already; its own
    // objects are prepared like those of any band.
    const int copiesFrom = band == VerticalMaster ? state(band).designObjectCount : -1;
    const QList<TfrxComponent *> objects = band->Objects();
    for (int index = 0; index < objects.size(); ++index) {
        TfrxComponent *object = objects[index];
        auto *printable = dynamic_cast<TfrxReportComponent *>(object);
        if (!printable) continue;
        if (auto *sub = dynamic_cast<TfrxSubreport *>(object); sub && sub->PrintOnParent) captured = true;
        const bool copy = copiesFrom >= 0 && index >= copiesFrom;
        m_report->CurObject = object->Name();
        if (!copy) printable->BeforePrint();
        if (bandVisible && !copy) {
            m_report->NotifyBeforePrint(printable);
            if (object->Visible()) {
                printable->GetData();
                if (auto *view = dynamic_cast<TfrxView *>(object); view && !view->OnAfterData.isEmpty())
                    m_report->RunScriptEvent(view, view->OnAfterData);
            }
        }
        auto *stretcheable = dynamic_cast<TfrxStretcheable *>(object);
        if (bandVisible && object->Visible() && stretcheable && stretcheable->StretchMode != smDontStretch) {
            const Extended height = stretcheable->CalcHeight();
            ObjectState &os = m_objectStates[object];
            if (height <= object->Height()) {
                os.growth = 0;
            } else {
                os.growth = height - object->Height();
                object->SetHeight(height);
                grown = true;
            }
        }
    }
    if (!bandVisible) return;
    if (grown) ShiftObjects(band);
    if (captured) CaptureSubreports(band);
    Extended bottom = 0;
    const TfrxComponent *lowest = nullptr;
    for (TfrxComponent *object : band->Objects())
        if (object->Top() + object->Height() > bottom) {
            bottom = object->Top() + object->Height();
            lowest = object;
        }
    if (lowest && bottomFramed(lowest)) bottom += fr1CharY;
    if (band->Stretched) band->SetHeight(bottom);
    m_report->CurObject = band->Name();
    if (!band->OnAfterCalcHeight.isEmpty()) m_report->RunScriptEvent(band, band->OnAfterCalcHeight);
    for (TfrxComponent *object : band->Objects())
        if (auto *s = dynamic_cast<TfrxStretcheable *>(object); s && s->StretchMode == smMaxHeight)
            object->SetHeight(bottom - object->Top() - (bottomFramed(object) ? fr1CharY : 0));
}

void TfrxEngine::FinishBand(TfrxBand *band)
{
    if (band->Visible())
        for (TfrxComponent *object : band->Objects())
            if (auto *printable = dynamic_cast<TfrxReportComponent *>(object)) {
                m_report->CurObject = object->Name();
                m_report->NotifyAfterPrint(printable);
            }
    for (TfrxComponent *object : band->Objects())
        if (auto *printable = dynamic_cast<TfrxReportComponent *>(object)) printable->AfterPrint();
    m_report->CurObject = band->Name();
    m_report->NotifyAfterPrint(band);
    band->AfterPrint();
    BandState &st = state(band);
    if (st.designObjectCount != -1) {
        while (band->Objects().size() > st.designObjectCount) {
            TfrxComponent *object = band->Objects().last();
            m_objectStates.remove(object);
            delete object;
        }
        st.designObjectCount = -1;
    }
}

void TfrxEngine::BuildShiftTargets(TfrxBand *band)
{
    BandState &st = state(band);
    if (st.shiftTargetsBuilt) return;
    st.shiftTargetsBuilt = true;
    // A sentinel just above the band stands for "nothing above": its targets are the band's.
    TfrxMemoView sentinel;
    sentinel.SetBounds(0, band->Top() - 2, band->Width(), 1);
    struct Entry {
        QString key;
        TfrxComponent *object;
        Area area;
    };
    std::vector<Entry> order;
    for (TfrxComponent *object : band->Objects()) {
        m_objectStates[object].shiftTargets.clear();
        order.push_back({topKey(object->Top()), object, areaOf(object)});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Entry &a, const Entry &b) { return a.key < b.key; });
    order.insert(order.begin(), Entry{QString(), &sentinel, areaOf(&sentinel)});
    // The sentinel is not a child of the band: its area is absolute through the band's position.
    order[0].area = {band->AbsLeft(), band->AbsTop() - 2, band->AbsLeft() + band->Width(),
                     band->AbsTop() - 1};
    QList<TfrxComponent *> sentinelTargets;
    st.shiftOrder.clear();
    for (size_t i = 1; i < order.size(); ++i)
        st.shiftOrder.append(order[i].object);
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size(); ++j) {
            const Area &a = order[i].area, &b = order[j].area;
            if (overlapY(a, b) || !(a.y < b.y) || !overlapX(a, b)) continue;
            const Area between{std::max(a.x, b.x), 0, std::min(a.x1, b.x1), 0};
            bool blocked = false;
            for (size_t k = i + 1; k < j && !blocked; ++k) {
                const Area &c = order[k].area;
                blocked = overlapX(c, between) && !overlapY(c, a) && !overlapY(c, b);
            }
            if (blocked) continue;
            if (i == 0)
                sentinelTargets.append(order[j].object);
            else
                m_objectStates[order[i].object].shiftTargets.append(order[j].object);
        }
    st.shiftTargets = sentinelTargets;
}

void TfrxEngine::ShiftObjects(TfrxBand *band)
{
    // Each object is visited once, in the top order the targets were built from, after every object
    // above it: what it receives from all of them adds up to what a walk along every path would give,
    // and an object that only moves when overlapped ends below the lowest of them.
    struct Incoming {
        Extended delta = 0;
        Extended lowestBottom = 0;
        bool belowObject = false;
    };
    QHash<TfrxComponent *, Incoming> incoming;
    const BandState &st = state(band);
    for (TfrxComponent *child : st.shiftTargets)
        incoming[child];
    for (TfrxComponent *object : st.shiftOrder) {
        const auto found = incoming.constFind(object);
        if (found == incoming.constEnd()) continue;
        const Incoming in = *found;
        auto *view = dynamic_cast<TfrxView *>(object);
        ObjectState &os = m_objectStates[object];
        const TfrxShiftMode mode = view ? view->ShiftMode : smAlways;
        Extended out = in.delta + os.growth;
        if (mode == smAlways) {
            object->SetTop(object->Top() + in.delta);
        } else if (mode == smWhenOverlapped) {
            out = os.growth;
            if (in.belowObject && object->Top() < in.lowestBottom) {
                out += in.lowestBottom - object->Top();
                object->SetTop(in.lowestBottom);
            }
        }
        os.growth = 0;
        const Extended bottom = object->Top() + object->Height();
        for (TfrxComponent *child : std::as_const(os.shiftTargets)) {
            Incoming &next = incoming[child];
            next.delta += out;
            next.lowestBottom = next.belowObject ? std::max(next.lowestBottom, bottom) : bottom;
            next.belowObject = true;
        }
    }
}

void TfrxEngine::DrawSplitBand(TfrxBand *band)
{
    QList<TfrxComponent *> all = band->Objects();
    QList<TfrxComponent *> pending;
    for (TfrxComponent *object : all) {
        if (dynamic_cast<TfrxSubreport *>(object)) continue;
        pending.append(object);
        if (auto *s = dynamic_cast<TfrxStretcheable *>(object)) {
            s->InitPart();
            m_objectStates[object].savedHeight = object->Height();
        }
    }
    // The band lends its object list to each part: the objects stay owned by the band throughout.
    for (TfrxComponent *object : all)
        object->SetParent(nullptr);
    const int total = int(pending.size());
    bool everSplit = false;
    Extended y = FreeSpace();
    auto moveDown = [&](TfrxComponent *from, Extended by, QSet<TfrxComponent *> &moved) {
        const Area a = areaOf(from);
        for (TfrxComponent *other : pending)
            if (other != from && !moved.contains(other) && other->Top() >= from->Top() &&
                overlapX(areaOf(other), a)) {
                other->SetTop(other->Top() + by);
                moved.insert(other);
            }
    };
    // Parts that take nothing from a fresh page or column either leave the pending objects where
    // they were (nothing will ever fit) or only bring them up by a page each: both are bounded.
    bool freshPage = false;
    int emptyParts = 0;
    const auto positions = [&pending] {
        QList<std::pair<Extended, Extended>> list;
        for (TfrxComponent *object : pending)
            list.append({object->Top(), object->Height()});
        return list;
    };
    const auto stalled = [&] {
        return QStringLiteral("%1: 带区在空白页上也放不下，无法分页").arg(band->Name());
    };
    try {
        while (!pending.isEmpty() && !m_report->Terminated) {
            const bool fresh = freshPage;
            const auto before = positions();
            if (fresh && y < 0) throw platform::Error(stalled());
            QList<TfrxComponent *> part;
            QSet<TfrxComponent *> moved;
            for (int i = 0; i < pending.size();) {
                TfrxComponent *object = pending[i];
                auto *s = dynamic_cast<TfrxStretcheable *>(object);
                ObjectState &os = m_objectStates[object];
                if (object->Top() + object->Height() <= y) {
                    if (s) s->DrawPart();
                    part.append(object);
                    pending.removeAt(i);
                    continue;
                }
                if (s) {
                    os.savedTop = object->Top();
                    if (object->Top() < y) {
                        object->SetHeight(y - object->Top());
                        Extended unused = s->DrawPart();
                        if (unused == 0) unused = object->Height();
                        if (std::abs(unused - object->Height()) < Tolerance) {
                            moveDown(object, unused, moved);
                            object->SetTop(y);
                            object->SetHeight(os.savedHeight);
                        } else {
                            moveDown(object, unused, moved);
                            part.append(object);
                            os.savedHeight = os.savedHeight - object->Height() + unused;
                            everSplit = true;
                        }
                    }
                } else if (object->Height() > PageHeight - FooterHeight()) {
                    part.append(object);
                    pending.removeAt(i);
                    continue;
                } else if (object->Top() < y) {
                    moveDown(object, y - object->Top(), moved);
                    object->SetTop(y);
                }
                ++i;
            }
            emptyParts = part.isEmpty() ? emptyParts + 1 : 0;
            if (emptyParts > MaxEmptyParts) throw platform::Error(stalled());
            for (TfrxComponent *object : part)
                object->SetParent(band);
            Extended height = 0;
            for (TfrxComponent *object : part)
                height = std::max(height, object->Top() + object->Height());
            band->SetHeight(height);
            if (pending.isEmpty())
                for (TfrxComponent *object : part) {
                    if (auto *view = dynamic_cast<TfrxView *>(object); view && view->Align == baBottom)
                        object->SetTop(height - object->Height());
                    if (auto *s = dynamic_cast<TfrxStretcheable *>(object);
                        s && s->StretchMode == smMaxHeight)
                        object->SetHeight(height - object->Top());
                }
            band->SetLeft(CurX);
            band->SetTop(m_curY);
            m_pages->AddObject(band);
            m_curY += band->Height();
            BandInProgress = band;
            for (TfrxComponent *object : part)
                object->SetParent(nullptr);
            if (!pending.isEmpty()) NewColumn();
            freshPage = true;
            const bool untouched = !everSplit && pending.size() == total;
            for (TfrxComponent *object : pending) {
                object->SetTop(object->Top() - y);
                if (dynamic_cast<TfrxStretcheable *>(object)) {
                    ObjectState &os = m_objectStates[object];
                    if (untouched) object->SetTop(os.savedTop);
                    if (object->Top() < 0) object->SetTop(0);
                    object->SetHeight(os.savedHeight);
                }
            }
            if (part.isEmpty() && fresh && positions() == before) throw platform::Error(stalled());
            y = FreeSpace();
        }
    } catch (...) {
        for (TfrxComponent *object : all)
            object->SetParent(band);
        throw;
    }
    for (TfrxComponent *object : band->Objects())
        object->SetParent(nullptr);
    for (TfrxComponent *object : all)
        object->SetParent(band);
}

void TfrxEngine::RepeatBandData(TfrxBand *band)
{
    bool any = false;
    for (TfrxComponent *object : band->Objects())
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object); memo && memo->SuppressRepeated) {
            memo->ResetLastValue(true);
            any = true;
        }
    if (!any || state(band).crossesVertical) return;
    FinishBand(band);
    CurrentLine = band->RowNo;
    CurrentLineThrough = band->RowNoThrough;
    SecondScriptCall = true;
    withFinally([&] { PrepareBand(band); }, [&] { SecondScriptCall = false; });
}

} // namespace frx
