// Arranging the pages of a workspace into centred rows, and finding the page at a position.
#include "report/ui/frxPreview.h"

#include "report/base/frxUtils.h"

#include <algorithm>

namespace frx {

namespace {

constexpr int kGap = 10;
// The sheet a page still being prepared is shown as, at zoom 1.
constexpr int kA4Width = 794;
constexpr int kA4Height = 1123;

} // namespace

void TfrxPageList::Clear()
{
    m_items.clear();
    m_bounds = QSize();
}

void TfrxPageList::AddPage(int width, int height)
{
    m_items.push_back(TfrxPageItem{height, width, 0, 0});
}

void TfrxPageList::CalcBounds(int availableWidth)
{
    int rowTop = kGap;
    int widest = 0;
    int bottom = 0;
    size_t i = 0;
    while (i < m_items.size()) {
        const size_t first = i;
        int x = 0;
        int tallest = 0;
        while (i < m_items.size() && (i == first || x + m_items[i].Width <= availableWidth)) {
            m_items[i].X = x;
            m_items[i].Y = rowTop;
            x += m_items[i].Width + kGap;
            tallest = std::max(tallest, m_items[i].Height);
            ++i;
        }
        // x is now the row's width with one gap after each page.
        const int h = (availableWidth - x + kGap) / 2;
        const int shift = h < 0 ? kGap : h + kGap;
        for (size_t j = first; j < i; ++j)
            m_items[j].X += shift;
        widest = std::max(widest, x);
        bottom = rowTop + tallest;
        rowTop = bottom + kGap;
    }
    m_bounds = m_items.empty() ? QSize() : QSize(widest + kGap, bottom + kGap);
}

int TfrxPageList::FindPage(int y, int x) const
{
    if (m_items.empty()) return -1;
    int low = 0;
    int high = Count() - 1;
    int found = 0;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const TfrxPageItem &item = m_items[size_t(middle)];
        if (item.Y <= y + int(roundHalfEven(item.Height / 5.0L))) {
            found = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (x < 0) return found;
    const int from = std::max(0, found - 20);
    const int to = std::min(Count() - 1, found + 20);
    for (int i = from; i <= to; ++i) {
        const TfrxPageItem &item = m_items[size_t(i)];
        if (QRect(item.X, item.Y, item.Width, item.Height).contains(x, y)) return i;
    }
    return -1;
}

QRect TfrxPageList::PageRect(int index, int availableWidth, Extended zoom, bool rightToLeft,
                             int clientWidth) const
{
    QRect rect;
    if (index >= 0 && index < Count()) {
        const TfrxPageItem &item = m_items[size_t(index)];
        rect = QRect(item.X, item.Y, item.Width, item.Height);
    } else {
        const int width = int(roundHalfEven(kA4Width * zoom));
        const int height = int(roundHalfEven(kA4Height * zoom));
        const int left = width <= availableWidth ? (availableWidth - width) / 2 : kGap;
        rect = QRect(left, int(roundHalfEven(zoom * kGap)), width, height);
    }
    if (rightToLeft) rect.moveLeft(clientWidth - rect.width() - rect.left());
    return rect;
}

} // namespace frx
