// Large arrays in huge pages where the system has them.
#include "platform/large_array.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace lp::platform {
namespace {

#ifdef __linux__
// The size of a huge page on the processors Linux runs this program on (x86-64, and
// ARM64 with 4 KB pages); arrays smaller than one gain nothing from them.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t inHugePages(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
#endif

}  // namespace

void* allocateLarge(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= kHugePage) {
        // A mapping a huge page longer than needed holds a run that starts on a huge
        // page boundary; the rest of it is given back at once.
        const std::size_t length = inHugePages(bytes);
        void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            throw std::bad_alloc();
        }
        const auto start = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > start) {
            munmap(mapped, aligned - start);
        }
        const std::uintptr_t tail = aligned + length;
        if (const std::uintptr_t after = start + length + kHugePage - tail; after > 0) {
            munmap(reinterpret_cast<void*>(tail), after);
        }
        void* memory = reinterpret_cast<void*>(aligned);
        // Only advice: without huge pages the memory works all the same.
        (void)madvise(memory, length, MADV_HUGEPAGE);
        return memory;
    }
#endif
    return ::operator new(bytes);
}

void freeLarge(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr) {
        return;
    }
#ifdef __linux__
    if (bytes >= kHugePage) {
        munmap(memory, inHugePages(bytes));
        return;
    }
#endif
    ::operator delete(memory);
}

}  // namespace lp::platform
