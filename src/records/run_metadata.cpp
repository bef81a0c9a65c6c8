#include "records/run_metadata.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "records/record_file_writer.h"

namespace lp::records {
namespace {

const QString kRun = QStringLiteral("run");
const QString kLine = QStringLiteral("line");
const QString kWeighting = QStringLiteral("weighting");
const QString kResponse = QStringLiteral("response");
const QString kRange = QStringLiteral("range");

void putState(QJsonObject& object, const MeterState& state) {
    object.insert(kWeighting, state.weighting ? QJsonValue(weightingLetter(*state.weighting))
                                              : QJsonValue(QJsonValue::Null));
    object.insert(kResponse, state.response ? QJsonValue(responseLetter(*state.response))
                                            : QJsonValue(QJsonValue::Null));
    object.insert(kRange, state.range
                              ? QJsonValue(QJsonArray{state.range->first, state.range->second})
                              : QJsonValue(QJsonValue::Null));
}

MeterState stateOf(const QJsonObject& object) {
    MeterState state;
    state.weighting = weightingOfLetter(object.value(kWeighting).toString());
    state.response = responseOfLetter(object.value(kResponse).toString());
    const QJsonArray range = object.value(kRange).toArray();
    if (range.size() == 2 && range[0].isDouble() && range[1].isDouble()) {
        state.range = std::pair{range[0].toInt(), range[1].toInt()};
    }
    return state;
}

// A whole line number, 1 or more, as JSON holds it.
std::optional<qint64> lineNumberOf(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number < 1 || number > 9.0e15 || number != static_cast<double>(qint64(number))) {
        return std::nullopt;
    }
    return qint64(number);
}

}  // namespace

QByteArray metadataLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString metadataPathOf(const QString& recordFile) {
    return recordFile + QStringLiteral(".meta");
}

QByteArray runStartLine(const RunStart& run) {
    QJsonObject object{
        {kRun, 1},
        {QStringLiteral("header_line"), run.headerLine},
        {QStringLiteral("start"),
         run.start.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(run.start)},
        {QStringLiteral("program"), run.program},
        {QStringLiteral("host"), run.host},
        {QStringLiteral("port"), run.port},
        {QStringLiteral("every_s"),
         run.everySeconds ? QJsonValue(*run.everySeconds) : QJsonValue(QJsonValue::Null)},
    };
    putState(object, run.state);
    return metadataLine(object);
}

QByteArray stateChangeLine(qint64 line, const MeterState& state) {
    QJsonObject object{{kLine, line}};
    putState(object, state);
    return metadataLine(object);
}

std::optional<QString> replaceMetadataFile(const QString& recordFile, const QByteArray& content) {
    if (!QFileInfo(recordFile).isFile()) {
        return std::nullopt;
    }
    const QString path = metadataPathOf(recordFile);
    const auto notWritten = [&](const QString& reason) {
        return QStringLiteral(
                   "The metadata beside \"%1\" is not written (\"%2\": %3); the "
                   "record file stands as written.")
            .arg(recordFile, path, reason);
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return notWritten(QStringLiteral("it is no regular file"));
    }
    if (const std::optional<FileError> error =
            replaceFile(path, [&](QIODevice& out) -> std::optional<QString> {
                if (out.write(content) != content.size()) {
                    return out.errorString();
                }
                return std::nullopt;
            })) {
        return notWritten(error->reason);
    }
    return std::nullopt;
}

RecordMetadata parseRecordMetadata(const QByteArray& bytes) {
    RecordMetadata metadata;
    for (const QByteArray& text : bytes.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(text).object();
        if (object.contains(kRun)) {
            const std::optional<qint64> header =
                lineNumberOf(object.value(QStringLiteral("header_line")));
            if (!header) {
                continue;
            }
            RunStart run;
            run.headerLine = *header;
            run.start = object.value(QStringLiteral("start")).toString();
            run.program = object.value(QStringLiteral("program")).toString();
            run.host = object.value(QStringLiteral("host")).toString();
            run.port = object.value(QStringLiteral("port")).toString();
            if (const QJsonValue every = object.value(QStringLiteral("every_s"));
                every.isDouble()) {
                run.everySeconds = every.toDouble();
            }
            run.state = stateOf(object);
            metadata.runs.push_back(run);
            metadata.spans.push_back({run.headerLine, run.state});
        } else if (const std::optional<qint64> line = lineNumberOf(object.value(kLine))) {
            metadata.spans.push_back({*line, stateOf(object)});
        }
    }
    // Lines come in order as a run writes them; a file appended to by runs out of
    // order (copied together by hand) is put in order of the lines it names.
    std::stable_sort(
        metadata.spans.begin(), metadata.spans.end(),
        [](const StateSpan& a, const StateSpan& b) { return a.fromLine < b.fromLine; });
    return metadata;
}

std::optional<RecordMetadata> readRecordMetadata(const QString& recordFile) {
    QFile file(metadataPathOf(recordFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return parseRecordMetadata(file.readAll());
}

MeterState stateAtLine(const RecordMetadata& metadata, qint64 line) {
    const auto after =
        std::upper_bound(metadata.spans.begin(), metadata.spans.end(), line,
                         [](qint64 l, const StateSpan& span) { return l < span.fromLine; });
    return after == metadata.spans.begin() ? MeterState{} : std::prev(after)->state;
}

QString weightingLetter(Weighting weighting) {
    return weighting == Weighting::A ? QStringLiteral("A") : QStringLiteral("C");
}

QString responseLetter(Response response) {
    return response == Response::Fast ? QStringLiteral("F") : QStringLiteral("S");
}

std::optional<Weighting> weightingOfLetter(const QString& letter) {
    if (letter == QStringLiteral("A")) {
        return Weighting::A;
    }
    if (letter == QStringLiteral("C")) {
        return Weighting::C;
    }
    return std::nullopt;
}

std::optional<Response> responseOfLetter(const QString& letter) {
    if (letter == QStringLiteral("F")) {
        return Response::Fast;
    }
    if (letter == QStringLiteral("S")) {
        return Response::Slow;
    }
    return std::nullopt;
}

}  // namespace lp::records
