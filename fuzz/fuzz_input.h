// Reads a fuzzer's input as a stream of small values, for targets that turn the bytes
// into a sequence of steps. Reading past the end gives zeros.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lp::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    [[nodiscard]] bool empty() const { return pos_ >= size_; }
    [[nodiscard]] size_t left() const { return size_ - pos_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t word() {
        const uint16_t high = byte();
        return static_cast<uint16_t>(high << 8 | byte());
    }
    // Up to `max` bytes, fewer where the input ends.
    QByteArray bytes(size_t max) {
        const size_t n = max < left() ? max : left();
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A broken property: say which and stop, so the fuzzer keeps the input as a crash.
[[noreturn]] inline void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

}  // namespace lp::fuzz

#define LP_FUZZ_CHECK(cond)                                \
    do {                                                   \
        if (!(cond)) {                                     \
            ::lp::fuzz::broken(#cond, __FILE__, __LINE__); \
        }                                                  \
    } while (false)
