// A mapped record file.
#include "records/record_source.h"

namespace lp::records {

std::shared_ptr<const RecordSource> RecordSource::map(const QString& path) {
    std::shared_ptr<RecordSource> source(new RecordSource(path));
    QFile& file = source->file_;
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) {
        return nullptr;
    }
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxBytes) {
        return nullptr;
    }
    // A recording that appends to the file writes past the view, and a save puts a new
    // file in its place and leaves the view on the old one.
    uchar* data = file.map(0, size);
    if (data == nullptr) {
        return nullptr;
    }
    source->data_ = reinterpret_cast<const char*>(data);
    source->size_ = size;
    return source;
}

RecordSource::~RecordSource() {
    if (data_ != nullptr) {
        file_.unmap(reinterpret_cast<uchar*>(const_cast<char*>(data_)));
    }
}

}  // namespace lp::records
