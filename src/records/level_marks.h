// What a record's level text says besides its number. A "*" marks a record without a
// level, a "-" one below the measuring range, an "L" one above it; a text with none
// of them that begins with a number carries a level of its own.
#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include "platform/numeric_text.h"

namespace lp::records {

struct LevelMarks {
    bool star = false;
    bool dash = false;
    bool ell = false;
};

// Works on store bytes (QLatin1StringView) and on shown texts (QStringView) alike.
template <typename Text>
[[nodiscard]] LevelMarks levelMarks(Text text) {
    LevelMarks marks;
    for (const auto c : text) {
        marks.star |= c == QLatin1Char('*');
        marks.dash |= c == QLatin1Char('-');
        marks.ell |= c == QLatin1Char('L');
    }
    return marks;
}

template <typename Text>
[[nodiscard]] bool carriesLevel(Text text) {
    const LevelMarks marks = levelMarks(text);
    return !marks.star && !marks.dash && !marks.ell && platform::startsWithNumber(text);
}

}  // namespace lp::records
