// A downloaded set turned into what the downloaded-data list shows: per record its
// number, time stamp and level text, the record-grid line for the printout, and the
// title. Pure: bytes in, texts out. The records go through the live frame's decoders
// on a Reading of the download's own.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace lp::memory {

inline constexpr int kSetHeaderSize = 12;
inline constexpr int kRecordSize = 2;
inline constexpr int kBlockSize = 2048;  // bytes per "Z" block

// The bytes of a set of N records: 12 + 2N. The meter sends them as a first part of
// (12 + 2N) mod 2048 bytes after "K", then (12 + 2N) div 2048 blocks of 2048 bytes,
// one per "Z".
[[nodiscard]] constexpr qint64 setByteSize(qint64 records) {
    return kSetHeaderSize + kRecordSize * records;
}
[[nodiscard]] constexpr qint64 firstPartSize(qint64 records) {
    return setByteSize(records) % kBlockSize;
}
[[nodiscard]] constexpr qint64 blockCount(qint64 records) {
    return setByteSize(records) / kBlockSize;
}

struct SetHeader {
    QString startText;        // "20yy/mm/dd hh:nn:ss" from the digits, whatever they are
    bool startKnown = false;  // the six start bytes form a date and time
    quint16 intervalSec = 0;
    quint8 functionByte = 0;
    QString rangeText;  // "30-130"
    QChar weighting;    // 'A' or 'C'
    int rangeLow = 0;   // dB, the two ends of rangeText
    int rangeHigh = 0;
};

// The header of a set; nullopt for fewer than 12 bytes.
[[nodiscard]] std::optional<SetHeader> decodeSetHeader(const QByteArray& data);

// One row of the list: the three column texts.
struct RecordTexts {
    QString no;        // "17"
    QString dateTime;  // "2009/03/15 14:05:41", or "----/--/-- --:--:--" when unknown
    QString level;     // "65.3"
};

struct DownloadedSet {
    int setNumber = 0;
    qint32 expectedRecords = 0;  // N from the set table
    std::optional<SetHeader> header;
    QList<RecordTexts> records;  // one per complete record received, at most N
    // Record-grid lines: the record number, a TAB, then the text line (what the hidden
    // record grid holds in its two columns and the printout prints).
    QStringList gridLines;
    QString title;          // "120  Records In No. 3  Set" (the count listed)
    bool complete = false;  // all 12 + 2N bytes are there
};

// Decodes what came of set `setNumber` with `expectedRecords` records. Takes as many
// complete records as `data` holds, at most `expectedRecords`; a partial download
// lists the records that came whole.
[[nodiscard]] DownloadedSet decodeDownload(const QByteArray& data, int setNumber,
                                           qint32 expectedRecords);

// The record-grid line of one record (the date and time part of `stamp` go to the two
// places before the level).
[[nodiscard]] QString recordGridLine(qint64 k, QStringView stamp, QStringView level,
                                     QChar weighting, bool batteryLow, QStringView range, bool over,
                                     bool under);

}  // namespace lp::memory
