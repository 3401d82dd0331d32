#include "heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<long long> held { 0 };

} // namespace

long long tintwell::bench::heap_bytes()
{
    return held;
}

void* operator new(std::size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    held += static_cast<long long>(malloc_usable_size(p));
    return p;
}

// The replaced operator new takes its memory from malloc, so free is the matching release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    if (p != nullptr) {
        held -= static_cast<long long>(malloc_usable_size(p));
        std::free(p);
    }
}
#pragma GCC diagnostic pop

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}
