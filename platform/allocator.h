// Process-wide tuning of the C allocator for page output.
#pragma once

namespace platform {

// Keeps freed heap memory for reuse instead of handing it back to the kernel. Painting a page to
// PDF allocates and frees the same large buffers (the compressor's state) once per page; returned
// each time, they are faulted in and zeroed again, which costs more than the painting itself.
// Call once at start, before the first page is output.
void keepFreedMemory();

} // namespace platform
