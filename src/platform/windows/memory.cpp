#include "platform/memory.h"

namespace tintwell::platform {

// Windows gives large pages only to processes holding a privilege users do not have.
void prefer_large_pages(const void* data, std::size_t bytes)
{
    (void)data;
    (void)bytes;
}

} // namespace tintwell::platform
