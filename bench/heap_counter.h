#pragma once

namespace tintwell::bench {

/// Bytes held on the heap by the whole program, as the allocator hands them out. Counted by the
/// operator new and delete of heap_counter.cpp, which a benchmark program links in.
long long heap_bytes();

} // namespace tintwell::bench
