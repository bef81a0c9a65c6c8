#include "remote/numbered_lines.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace lp::remote {
namespace {

constexpr qint64 kBlock = 1 << 20;

}  // namespace

NumberedLines::NumberedLines(QString path, QString heldPath)
    : path_(std::move(path)), heldPath_(std::move(heldPath)) {}

std::optional<QString> NumberedLines::open(qint64 nowMs) {
    if (file_.isOpen()) {
        return std::nullopt;
    }
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        return QStringLiteral("cannot make the folder of \"%1\"").arg(path_);
    }
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return QStringLiteral("cannot open \"%1\": %2").arg(path_, file_.errorString());
    }
    if (!counted_) {
        if (auto error = repairAndCount()) {
            file_.close();
            return error;
        }
        counted_ = true;
        readHeld(nowMs);
        // Held lines whose gap was filled by a write that the kill cut short.
        if (!held_.empty() && held_.begin()->first == lines_ + 1) {
            auto first = held_.extract(held_.begin());
            if (put(first.key(), first.mapped().bytes, nowMs) == Put::Refused) {
                return error_;
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> NumberedLines::repairAndCount() {
    lines_ = 0;
    const qint64 size = file_.size();
    qint64 done = 0;
    qint64 lastEnd = -1;  // the offset of the last '\n'
    if (size > 0 && !file_.seek(0)) {
        return QStringLiteral("cannot read \"%1\": %2").arg(path_, file_.errorString());
    }
    while (done < size) {
        const QByteArray block = file_.read(std::min(kBlock, size - done));
        if (block.isEmpty()) {
            return QStringLiteral("cannot read \"%1\": %2").arg(path_, file_.errorString());
        }
        lines_ += block.count('\n');
        const qsizetype end = block.lastIndexOf('\n');
        if (end >= 0) {
            lastEnd = done + end;
        }
        done += block.size();
    }
    if (lastEnd + 1 < size && !file_.resize(lastEnd + 1)) {
        return QStringLiteral("cannot repair the end of \"%1\": %2")
            .arg(path_, file_.errorString());
    }
    return std::nullopt;
}

void NumberedLines::readHeld(qint64 nowMs) {
    QFile held(heldPath_);
    if (!held.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray all = held.readAll();
    qsizetype at = 0;
    while (at < all.size()) {
        const qsizetype end = all.indexOf('\n', at);
        if (end < 0) {
            break;  // cut short by a kill in its write: never taken
        }
        const qsizetype space = all.indexOf(' ', at);
        bool ok = false;
        const qint64 line = space > at && space < end ? all.mid(at, space - at).toLongLong(&ok) : 0;
        if (ok && line > lines_ && !held_.contains(line)) {
            held_.emplace(line, Held{all.mid(space + 1, end - space), nowMs});
        }
        at = end + 1;
    }
    held.close();
    if (held_.empty()) {
        QFile::remove(heldPath_);
    }
    gapSince_ = nowMs;
}

bool NumberedLines::append(const QByteArray& bytes) {
    const qint64 before = file_.size();
    if (file_.write(bytes) == bytes.size()) {
        return true;
    }
    error_ = QStringLiteral("cannot write to \"%1\": %2").arg(path_, file_.errorString());
    (void)file_.resize(before);  // a part written goes again, whole, with the next line
    return false;
}

bool NumberedLines::hold(qint64 line, const QByteArray& bytes, qint64 nowMs) {
    if (heldCount() >= kHeldLimit) {
        // One text while the gap lasts (the collector says each text once).
        error_ = QStringLiteral(
                     "%1 lines are held after the missing line %2 of \"%3\": "
                     "later lines are dropped until it comes")
                     .arg(kHeldLimit)
                     .arg(lines_ + 1)
                     .arg(path_);
        return false;
    }
    QFile held(heldPath_);
    (void)QDir().mkpath(QFileInfo(heldPath_).absolutePath());
    const QByteArray entry = QByteArray::number(line) + ' ' + bytes;
    if (!held.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        held.write(entry) != entry.size()) {
        error_ = QStringLiteral("cannot keep line %1 of \"%2\" in \"%3\": %4")
                     .arg(line)
                     .arg(path_, heldPath_, held.errorString());
        return false;
    }
    gapSince_ = held_.empty() ? nowMs : std::min(gapSince_, nowMs);
    held_.emplace(line, Held{bytes, nowMs});
    return true;
}

NumberedLines::Put NumberedLines::put(qint64 line, const QByteArray& bytes, qint64 nowMs) {
    if (auto error = open(nowMs)) {
        error_ = *error;
        return Put::Refused;
    }
    if (line <= lines_ || held_.contains(line)) {
        return Put::Repeat;
    }
    if (line > lines_ + 1) {
        return hold(line, bytes, nowMs) ? Put::Held : Put::Refused;
    }
    // The line and the held ones that follow it without a gap, in one write.
    QByteArray out = bytes;
    qint64 next = line + 1;
    auto it = held_.begin();
    for (; it != held_.end() && it->first == next; ++it, ++next) {
        out += it->second.bytes;
    }
    if (!append(out)) {
        return Put::Refused;
    }
    lines_ = next - 1;
    if (it != held_.begin()) {
        held_.erase(held_.begin(), it);
        afterFlush();
    }
    return Put::Written;
}

void NumberedLines::afterFlush() {
    if (held_.empty()) {
        QFile::remove(heldPath_);
        return;
    }
    gapSince_ = std::min_element(held_.begin(), held_.end(), [](const auto& a, const auto& b) {
                    return a.second.arrived < b.second.arrived;
                })->second.arrived;
}

std::optional<std::pair<qint64, qint64>> NumberedLines::overdue(qint64 nowMs, qint64 afterMs) {
    if (held_.empty() || told_ == lines_ + 1 || nowMs - gapSince_ < afterMs) {
        return std::nullopt;
    }
    told_ = lines_ + 1;
    return std::pair{lines_ + 1, held_.begin()->first - 1};
}

}  // namespace lp::remote
