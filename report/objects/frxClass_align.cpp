#include "report/objects/frxClass_p.h"

#include <algorithm>

namespace frx {

namespace {

// Sort key of a view by its Left: "1" and Left for Left >= 0, "0" and -Left otherwise, "%9.2f".
QString alignKey(const TfrxView *view)
{
    const Extended left = view->Left();
    const bool negative = left < 0;
    return QChar(negative ? u'0' : u'1') + QString::asprintf("%9.2f", double(negative ? -left : left));
}

bool overlapsVertically(const TfrxView *a, const TfrxView *b)
{
    const Extended aTop = a->AbsTop(), bTop = b->AbsTop();
    return !(aTop >= bTop + b->Height() - 0.0001L || bTop >= aTop + a->Height() - 0.0001L);
}

} // namespace

void TfrxComponent::AlignChildren()
{
    // Views sorted by their key; a view is inserted before views with an equal key.
    struct Entry {
        QString key;
        TfrxView *view;
    };
    std::vector<Entry> sorted;
    // Only views aligned to a side or across take part in the passes along the sorted list; most
    // objects (every one of a card) have no alignment and need no sort key.
    const bool sided = std::any_of(m_objects.begin(), m_objects.end(), [](TfrxComponent *child) {
        const auto *view = dynamic_cast<TfrxView *>(child);
        return view && (view->Align == baLeft || view->Align == baRight || view->Align == baWidth);
    });
    for (TfrxComponent *child : m_objects) {
        if (!sided) break;
        auto *view = dynamic_cast<TfrxView *>(child);
        if (!view) continue;
        Entry entry{alignKey(view), view};
        auto at = std::lower_bound(sorted.begin(), sorted.end(), entry, [](const Entry &a, const Entry &b) {
            return a.key.compare(b.key, Qt::CaseInsensitive) < 0;
        });
        sorted.insert(at, std::move(entry));
    }
    const auto n = qsizetype(sorted.size());

    for (qsizetype i = 0; i < n; ++i) {
        TfrxView *view = sorted[i].view;
        if (view->Align != baLeft && view->Align != baWidth) continue;
        const TfrxView *neighbour = nullptr;
        for (qsizetype j = i - 1; j >= 0 && !neighbour; --j) {
            const TfrxView *other = sorted[j].view;
            if (overlapsVertically(view, other) && (view->Align != baWidth || other->Left() <= view->Left()))
                neighbour = other;
        }
        view->SetLeft(neighbour ? neighbour->Left() + neighbour->Width() : 0);
    }

    for (qsizetype i = n - 1; i >= 0; --i) {
        TfrxView *view = sorted[i].view;
        if (view->Align != baRight && view->Align != baWidth) continue;
        const TfrxView *neighbour = nullptr;
        for (qsizetype j = i + 1; j < n && !neighbour; ++j) {
            const TfrxView *other = sorted[j].view;
            if (overlapsVertically(view, other) &&
                (view->Align != baWidth || other->Left() + other->Width() >= view->Left() + view->Width()))
                neighbour = other;
        }
        const Extended edge = neighbour ? neighbour->Left() : m_width;
        if (view->Align == baRight)
            view->SetLeft(edge - view->Width());
        else
            view->SetWidth(edge - view->Left());
    }

    for (TfrxComponent *child : m_objects) {
        auto *view = dynamic_cast<TfrxView *>(child);
        if (!view) continue;
        switch (view->Align) {
        case baCenter:
            view->SetLeft((m_width - view->Width()) / 2);
            break;
        case baBottom:
            view->SetTop(m_height - view->Height());
            break;
        case baClient:
            view->SetBounds(0, 0, m_width, m_height);
            break;
        default:
            break;
        }
    }
}

} // namespace frx
