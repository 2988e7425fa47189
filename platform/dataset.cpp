#include "platform/dataset.h"

#include <algorithm>

namespace platform {

void Cursor::addObserver(CursorObserver *observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Cursor::removeObserver(CursorObserver *observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

namespace {

// Observers may add or remove observers while being told; a removed one is not told any more.
template <typename Call> void notifyAll(const std::vector<CursorObserver *> &observers, Call call)
{
    const std::vector<CursorObserver *> snapshot = observers;
    for (CursorObserver *observer : snapshot)
        if (std::find(observers.begin(), observers.end(), observer) != observers.end()) call(observer);
}

} // namespace

void Cursor::notifyOpened()
{
    notifyAll(m_observers, [](CursorObserver *o) { o->cursorOpened(); });
}

void Cursor::notifyClosing()
{
    notifyAll(m_observers, [](CursorObserver *o) { o->cursorClosing(); });
}

void Cursor::notifyCurrentChanged()
{
    notifyAll(m_observers, [](CursorObserver *o) { o->currentChanged(); });
}

void Cursor::notifyRowsChanged()
{
    notifyAll(m_observers, [](CursorObserver *o) { o->rowsChanged(); });
}

} // namespace platform
