#pragma once

#include <cstddef>

namespace tintwell::platform {

/// A hint that a large buffer is about to be filled front to back: where the system can, it backs
/// the buffer with large pages, sparing most page faults. Nothing depends on it being taken.
void prefer_large_pages(const void* data, std::size_t bytes);

} // namespace tintwell::platform
