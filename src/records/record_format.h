// The byte layout of a record file: single-byte text, every field followed by a TAB
// (the last one included), every line ended by CR LF, a header line first.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace lp::records {

inline constexpr char kFieldEnd = '\t';
inline constexpr QByteArrayView kLineEnd("\r\n");
// "No.s" TAB "Date Time" TAB "dB" TAB CR LF
inline constexpr QByteArrayView kHeaderLine("No.s\tDate Time\tdB\t\r\n");
// The header line without its line end, as a reader takes a line.
inline constexpr QByteArrayView kHeaderText = kHeaderLine.first(kHeaderLine.size() - 2);

// Appends one record line (three fields, each with its TAB, then CR LF) to `out`.
// Every writer of record lines goes through here, so all files agree byte for byte.
void appendRecordLine(QByteArray& out, QByteArrayView no, QByteArrayView dateTime,
                      QByteArrayView level);

}  // namespace lp::records
