// The bytes of a record file as a read-only view of the file (mapped, so only the
// parts looked at are read into memory), for a store whose records point into the
// file instead of holding copies of their text.
#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>

namespace lp::records {

class RecordSource {
public:
    // Largest file viewed: a store addresses the file with 31-bit offsets.
    static constexpr qint64 kMaxBytes = 0x7FFFFFFFLL;

    // A view of the file as it is now; null when it cannot be opened or mapped, is
    // empty, or is larger than kMaxBytes (the caller then copies the records' text).
    [[nodiscard]] static std::shared_ptr<const RecordSource> map(const QString& path);

    RecordSource(const RecordSource&) = delete;
    RecordSource& operator=(const RecordSource&) = delete;
    ~RecordSource();

    [[nodiscard]] QByteArrayView bytes() const { return {data_, size_}; }
    [[nodiscard]] qint64 size() const { return size_; }

private:
    RecordSource(const QString& path) : file_(path) {}

    QFile file_;
    const char* data_ = nullptr;
    qint64 size_ = 0;
};

}  // namespace lp::records
