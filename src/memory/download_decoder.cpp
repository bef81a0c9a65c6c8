// The set download decoded into the texts of the downloaded-data list.
#include "memory/download_decoder.h"

#include <algorithm>

#include "link/meter_decode.h"
#include "memory/memory_text.h"
#include "memory/record_stamps.h"
#include "platform/numeric_text.h"

namespace lp::memory {
namespace {

void appendRightAligned(QString& line, QStringView text, qsizetype width) {
    for (qsizetype i = text.size(); i < width; ++i) {
        line.append(u' ');
    }
    line.append(text);
}

}  // namespace

std::optional<SetHeader> decodeSetHeader(const QByteArray& data) {
    if (data.size() < kSetHeaderSize) {
        return std::nullopt;
    }
    SetHeader header;
    auto digits = [&](int i) { return hexByte(byteAt(data, i)); };
    header.startText = QStringLiteral("20") + digits(0) + u'/' + digits(1) + u'/' + digits(2) +
                       u' ' + digits(3) + u':' + digits(4) + u':' + digits(5);
    header.startKnown = RecordStamps(data.left(6), 0).known();
    header.functionByte = byteAt(data, 6);
    header.intervalSec = static_cast<quint16>(big16(data, 7));
    link::Reading reading;
    link::decodeRange(reading, header.functionByte);
    header.rangeText =
        QString::number(reading.rangeLow) + u'-' + QString::number(reading.rangeHigh);
    header.weighting = reading.weightingA ? u'A' : u'C';
    header.rangeLow = reading.rangeLow;
    header.rangeHigh = reading.rangeHigh;
    return header;
}

QString recordGridLine(qint64 k, QStringView stamp, QStringView level, QChar weighting,
                       bool batteryLow, QStringView range, bool over, bool under) {
    QString line;
    line.reserve(80);
    line.append(QString::number(k));
    line.append(u'\t');
    line.append(stamp.left(10));
    line.append(u"    ");
    line.append(stamp.mid(11));
    appendRightAligned(line, level, 9);
    line.append(u"    ");
    line.append(weighting);
    line.append(u"    ");
    line.append(batteryLow ? u"Low" : u"---");
    appendRightAligned(line, range, 10);
    if (over) {
        line.append(u"       Over");
    } else if (under) {
        line.append(u"    Under");
    } else {
        line.append(u"    -----");
    }
    return line;
}

DownloadedSet decodeDownload(const QByteArray& data, int setNumber, qint32 expectedRecords) {
    DownloadedSet set;
    set.setNumber = setNumber;
    set.expectedRecords = std::max<qint32>(0, expectedRecords);
    set.complete = data.size() >= setByteSize(set.expectedRecords);
    set.header = decodeSetHeader(data);

    qint64 count = 0;
    if (set.header) {
        count = std::min<qint64>(set.expectedRecords, (data.size() - kSetHeaderSize) / kRecordSize);
    }
    set.records.reserve(count);
    set.gridLines.reserve(count);
    if (count > 0) {
        RecordStamps stamps(data.left(6), set.header->intervalSec);
        // Each record's level uses the hundreds flag of its own status byte, decoded
        // just before it; nothing else of the reading carries over.
        link::Reading reading;
        const auto* bytes = reinterpret_cast<const quint8*>(data.constData()) + kSetHeaderSize;
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (qint64 k = 1; k <= count; ++k, bytes += kRecordSize) {
            const quint8 status = bytes[0];
            const quint8 digitsByte = bytes[1];
            link::decodeStatus(reading, status);
            const QChar digits[4] = {QLatin1Char(kHex[status >> 4]), QLatin1Char(kHex[status & 15]),
                                     QLatin1Char(kHex[digitsByte >> 4]),
                                     QLatin1Char(kHex[digitsByte & 15])};
            link::decodeLevel(reading, QStringView(digits, 4));

            RecordTexts row;
            row.no = QString::number(k);
            row.dateTime = stamps.stamp(k);
            row.level = platform::levelText(reading.level);
            set.gridLines.append(recordGridLine(k, row.dateTime, row.level, set.header->weighting,
                                                reading.batteryLow, set.header->rangeText,
                                                reading.overRange, reading.underRange));
            set.records.append(std::move(row));
        }
    }
    set.title = QStringLiteral("%1  Records In No. %2  Set").arg(count).arg(setNumber);
    return set;
}

}  // namespace lp::memory
