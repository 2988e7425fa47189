#include "platform/allocator.h"

#include <malloc.h>

namespace platform {

void keepFreedMemory()
{
    // Grow the heap in large steps and only trim far above them: one page's buffers then stay in
    // the heap from page to page.
    mallopt(M_TOP_PAD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

} // namespace platform
