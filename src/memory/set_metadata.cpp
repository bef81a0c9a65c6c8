#include "memory/set_metadata.h"

#include <QDateTime>

#include "platform/iso_time.h"

namespace lp::memory {

records::RunStart setRunStart(const std::optional<SetHeader>& header, records::RunStart context) {
    context.headerLine = 1;
    context.start.clear();
    context.everySeconds.reset();
    context.state = {};
    if (!header) {
        return context;
    }
    if (header->startKnown) {
        // The meter's clock, taken as this computer's local time.
        const QDateTime start =
            QDateTime::fromString(header->startText, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        if (start.isValid()) {
            context.start = platform::isoTimeText(start);
        }
    }
    context.everySeconds = header->intervalSec;
    context.state.weighting = records::weightingOfLetter(QString(header->weighting));
    context.state.range = std::pair{header->rangeLow, header->rangeHigh};
    return context;
}

records::RecordMetadata setMetadata(const std::optional<SetHeader>& header,
                                    const records::RunStart& context) {
    return records::parseRecordMetadata(records::runStartLine(setRunStart(header, context)));
}

std::optional<QString> writeSetMetadata(const QString& recordFile,
                                        const std::optional<SetHeader>& header,
                                        const records::RunStart& context) {
    return records::replaceMetadataFile(recordFile,
                                        records::runStartLine(setRunStart(header, context)));
}

}  // namespace lp::memory
