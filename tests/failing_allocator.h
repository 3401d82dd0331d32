#pragma once
// Replaces the global allocation functions of the test program whose one source file includes
// this, so a test can make the allocation it chooses fail.
#include <cstdlib>
#include <new>

namespace tintwell::test {

/// Allocations still allowed before the next one fails; negative while no failure is armed.
inline long allowed_allocations = -1;
/// Whether a failure disarms itself, so that what the code does next (its message) may allocate
/// again; otherwise every later allocation fails until the test disarms it.
inline bool fail_once = false;

} // namespace tintwell::test

void* operator new(std::size_t size)
{
    using tintwell::test::allowed_allocations;
    if (allowed_allocations == 0) {
        if (tintwell::test::fail_once) {
            allowed_allocations = -1;
        }
        throw std::bad_alloc();
    }
    if (allowed_allocations > 0) {
        --allowed_allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// GCC, seeing these inlined, takes the pair for a mismatch: the memory came from malloc above.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
