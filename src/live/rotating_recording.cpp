#include "live/rotating_recording.h"

namespace lp::live {

QString RotatingRecording::fileName(const QString& out, std::optional<QDate> day, int part) {
    const qsizetype slash = out.lastIndexOf(u'/');
    const qsizetype dot = out.lastIndexOf(u'.');
    // A dot that starts the file name (".sdm") or sits in a folder name is no suffix.
    const bool hasSuffix = dot > slash + 1;
    QString name = hasSuffix ? out.left(dot) : out;
    if (day) {
        name += u'-' + day->toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (part > 1) {
        name += u'-' + QString::number(part);
    }
    return hasSuffix ? name + out.mid(dot) : name;
}

RotatingRecording::RotatingRecording(QString out, bool daily, platform::Clock& clock,
                                     qint32 lineLimit, QObject* parent)
    : QObject(parent), out_(std::move(out)), daily_(daily), clock_(clock), recording_(lineLimit) {
    connect(&recording_, &Recording::lineWritten, this, &RotatingRecording::onLineWritten);
    connect(&recording_, &Recording::limitReached, this, &RotatingRecording::onLimitReached);
    connect(&recording_, &Recording::stopped, this, &RotatingRecording::failed);
    connect(&recording_, &Recording::noticed, this, &RotatingRecording::onNoticed);
}

RotatingRecording::~RotatingRecording() {
    recording_.stop();
}

QString RotatingRecording::firstFile() const {
    return fileName(out_, daily_ ? std::optional<QDate>(clock_.now().date()) : std::nullopt, 1);
}

std::optional<QString> RotatingRecording::begin() {
    day_ = clock_.now().date();
    part_ = 1;
    return startFile();
}

void RotatingRecording::record(const Sample& sample) {
    if (daily_ && sample.when.date() != day_) {
        recording_.stop();
        day_ = sample.when.date();
        part_ = 1;
        if (const std::optional<QString> error = startFile()) {
            emit failed(*error);
            return;
        }
    }
    recording_.record(sample);
}

void RotatingRecording::stop() {
    recording_.stop();
}

std::optional<QString> RotatingRecording::startFile() {
    const QString name = fileName(out_, daily_ ? std::optional<QDate>(day_) : std::nullopt, part_);
    recording_.chooseFile(name);
    if (std::optional<QString> error = recording_.start()) {
        return error;
    }
    emit fileStarted(name);
    return std::nullopt;
}

void RotatingRecording::onLineWritten(const RecordedLine& line) {
    linesWritten_ += 1;
    emit lineWritten(line);
}

void RotatingRecording::onLimitReached() {
    part_ += 1;
    if (const std::optional<QString> error = startFile()) {
        emit failed(*error);
    }
}

void RotatingRecording::onNoticed(const QString& text) {
    if (!told_.contains(text)) {
        told_ << text;
        emit noticed(text);
    }
}

}  // namespace lp::live
