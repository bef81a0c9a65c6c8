// Bytes appended at the end of a buffer with a size check and a copy each: QByteArray's
// append is a general insert, too slow for the hundred thousand rows of a table.
#pragma once

#include <QByteArrayView>
#include <algorithm>
#include <cstring>

#include "platform/large_array.h"

namespace lp::app::cli {

class ByteBuffer {
public:
    // Room for `n` more bytes at the end; what is written there counts once used() is
    // told where it ends.
    [[nodiscard]] char* room(qsizetype n) {
        if (qsizetype(storage_.size()) - size_ < n) {
            grow(n);
        }
        return storage_.data() + size_;
    }
    void used(const char* end) { size_ = end - storage_.data(); }

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

    [[nodiscard]] QByteArrayView view() const { return {storage_.data(), size_}; }
    [[nodiscard]] qsizetype size() const { return size_; }
    void clear() { size_ = 0; }

private:
    void grow(qsizetype n) { storage_.resize(size_t(std::max(2 * (size_ + n), qsizetype(256)))); }

    platform::LargeVector<char> storage_;  // all of it room; the first size_ bytes used
    qsizetype size_ = 0;
};

}  // namespace lp::app::cli
