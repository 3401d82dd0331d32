#include "platform/memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace tintwell::platform {

// 2 MB pages spare most of the page faults that otherwise cost a fifth of reading a 10 MB theme.
void prefer_large_pages(const void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t large_page = std::uintptr_t { 2 } << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const auto first = (start + large_page - 1) & ~(large_page - 1);
    const auto last = (start + bytes) & ~(large_page - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace tintwell::platform
