// Bytes appended at the end of a buffer with a size check and a copy each: QByteArray's
// append is a general insert, too slow for the hundred thousand rows of a table. The
// room is not cleared first, and a large buffer lies in huge pages.
#pragma once

#include <QByteArrayView>
#include <algorithm>
#include <cstring>

#include "platform/large_array.h"

namespace lp::cli {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer() { platform::freeLarge(data_, size_t(capacity_)); }

    // Room for `n` more bytes at the end; what is written there counts once used() is
    // told where it ends.
    [[nodiscard]] char* room(qsizetype n) {
        if (capacity_ - size_ < n) {
            grow(n);
        }
        return data_ + size_;
    }
    void used(const char* end) { size_ = end - data_; }

    void append(QByteArrayView bytes) {
        char* at = room(bytes.size());
        if (!bytes.isEmpty()) {
            std::memcpy(at, bytes.data(), size_t(bytes.size()));
        }
        size_ += bytes.size();
    }
    void append(char c) {
        *room(1) = c;
        ++size_;
    }

    [[nodiscard]] QByteArrayView view() const { return {data_, size_}; }
    [[nodiscard]] qsizetype size() const { return size_; }
    void clear() { size_ = 0; }
    // Makes room for `bytes` in all, so filling it up to there moves nothing.
    void reserve(qsizetype bytes) {
        if (bytes > capacity_) {
            grow(bytes - size_);
        }
    }

private:
    void grow(qsizetype n) {
        const qsizetype capacity = std::max({2 * capacity_, size_ + n, qsizetype(256)});
        auto* data = static_cast<char*>(platform::allocateLarge(size_t(capacity)));
        if (size_ > 0) {
            std::memcpy(data, data_, size_t(size_));
        }
        platform::freeLarge(data_, size_t(capacity_));
        data_ = data;
        capacity_ = capacity;
    }

    char* data_ = nullptr;
    qsizetype size_ = 0;
    qsizetype capacity_ = 0;
};

}  // namespace lp::cli
