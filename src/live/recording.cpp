#include "live/recording.h"

namespace lp::live {

Recording::Recording(qint32 lineLimit, QObject* parent) : QObject(parent), recorder_(lineLimit) {}

void Recording::publish() {
    emit viewChanged(view_);
}

void Recording::chooseFile(const QString& path) {
    view_.file = path;
    publish();
}

std::optional<QString> Recording::start() {
    if (auto error = recorder_.start(view_.file)) {
        return error;
    }
    metadata_.begin(view_.file, recorder_.lastLine(),
                    contextSource_ ? contextSource_() : RunContext{});
    view_.on = true;
    view_.count = 0;
    view_.lampLit = true;
    publish();
    for (const QString& text : recorder_.notices()) {
        emit noticed(text);
    }
    return std::nullopt;
}

void Recording::stop() {
    recorder_.stop();
    metadata_.end();
    view_.on = false;
    view_.count = 0;
    view_.lampLit = false;
    publish();
}

void Recording::record(const Sample& sample) {
    if (!view_.on) {
        return;
    }
    const Recorder::StepResult result = recorder_.record(sample.dateTime, sample.levelText);
    view_.count = recorder_.lineCount();
    view_.lampLit = !view_.lampLit;
    publish();
    if (result.step != Recorder::Step::Failed) {
        // The record line first: it is the record of truth, its metadata comes after.
        if (const std::optional<QString> error =
                metadata_.take(recorder_.lastLine(), sample.when, sample.reading)) {
            emit noticed(*error);
        }
        emit lineWritten(
            RecordedLine{view_.file, recorder_.lastLine(), recorder_.lineCount(), sample});
    }
    switch (result.step) {
        case Recorder::Step::Written:
            return;
        case Recorder::Step::LimitReached:
            stop();
            emit limitReached();
            return;
        case Recorder::Step::Failed:
            stop();
            emit stopped(result.error);
            return;
    }
}

}  // namespace lp::live
