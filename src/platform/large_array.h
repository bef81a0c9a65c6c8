// Memory for arrays of many megabytes that are filled once and then read, such as the
// levels of a week of records. Memory is handed to a process a page at a time, and
// each first touch of a 4 KB page costs a trip into the kernel; filling 15 MB that
// way takes longer than reading the files it came from. Where the system offers huge
// pages (Linux, 2 MB), such an array takes them, so the same array costs a few
// trips. Small arrays, and systems without huge pages, get ordinary memory.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace lp::platform {

// `bytes` of memory aligned for any type (throws std::bad_alloc when there is none);
// give it back with freeLarge and the same size.
[[nodiscard]] void* allocateLarge(std::size_t bytes);
void freeLarge(void* memory, std::size_t bytes) noexcept;

template <class T>
class LargeArrayAllocator {
public:
    using value_type = T;
    LargeArrayAllocator() = default;
    template <class U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

    [[nodiscard]] T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(allocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const LargeArrayAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using LargeVector = std::vector<T, LargeArrayAllocator<T>>;

}  // namespace lp::platform
