// The states of a survey's counted records (stats::surveyStates, survey.h).
#include "stats/survey.h"

#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace lp::stats {
namespace {

// Whether every instant from `first` to `last` lies in an exclusion (`ranges` in order
// of their beginnings).
bool whollyExcluded(qint64 first, qint64 last, std::span<const TimeRange> ranges) {
    qint64 reached = first;  // every instant before it is excluded
    for (const TimeRange& range : ranges) {
        if (range.from > reached) {
            break;
        }
        reached = std::max(reached, range.to);
        if (reached > last) {
            return true;
        }
    }
    return false;
}

QString weightingText(const std::optional<records::Weighting>& weighting) {
    return weighting ? records::weightingLetter(*weighting) + QStringLiteral(" weighting")
                     : QStringLiteral("weighting not known");
}

QString responseText(const std::optional<records::Response>& response) {
    if (!response) {
        return QStringLiteral("response not known");
    }
    return *response == records::Response::Fast ? QStringLiteral("FAST") : QStringLiteral("SLOW");
}

// One value of the state (the weighting or the response) over the counted stretches.
template <typename Value>
struct Mix {
    std::vector<std::optional<Value>> values;  // in order of their first stretch
    std::vector<QStringList> places;           // where each was, by file and lines

    void add(const std::optional<Value>& value, const QString& place) {
        const auto at = std::find(values.begin(), values.end(), value);
        if (at == values.end()) {
            values.push_back(value);
            places.push_back({place});
        } else {
            places[size_t(at - values.begin())] << place;
        }
    }
    [[nodiscard]] std::optional<Value> agreed() const {
        return values.size() == 1 ? values.front() : std::nullopt;
    }
    template <typename Text>
    void describe(QStringList& into, Text text) const {
        if (values.size() < 2) {
            return;
        }
        for (size_t i = 0; i < values.size(); ++i) {
            into << QStringLiteral("%1 in %2")
                        .arg(text(values[i]), places[i].join(QStringLiteral(", ")));
        }
    }
};

}  // namespace

SurveyStates surveyStates(const SurveyRecords& survey, const Notation& declared,
                          std::span<const TimeRange> exclusions) {
    std::vector<TimeRange> ranges(exclusions.begin(), exclusions.end());
    std::sort(ranges.begin(), ranges.end(),
              [](const TimeRange& a, const TimeRange& b) { return a.from < b.from; });
    SurveyStates states;
    Mix<records::Weighting> weighting;
    Mix<records::Response> response;
    std::vector<bool> overruled(size_t(survey.files.size()), false);
    const std::vector<StateStretch>& stretches = survey.states;
    for (size_t i = 0; i < stretches.size(); ++i) {
        const StateStretch& s = stretches[i];
        if (whollyExcluded(s.first, s.last, ranges)) {
            continue;
        }
        const QString name = QFileInfo(survey.files[s.file]).fileName();
        const bool alone = (i == 0 || stretches[i - 1].file != s.file) &&
                           (i + 1 == stretches.size() || stretches[i + 1].file != s.file);
        const QString place =
            alone      ? name
            : s.toLine ? QStringLiteral("%1 lines %2-%3").arg(name).arg(s.fromLine).arg(s.toLine)
                       : QStringLiteral("%1 from line %2").arg(name).arg(s.fromLine);
        const records::MeterState& told = s.state;
        weighting.add(told.weighting ? told.weighting : declared.weighting, place);
        response.add(told.response ? told.response : declared.response, place);
        const bool otherWeighting =
            told.weighting && declared.weighting && *told.weighting != *declared.weighting;
        const bool otherResponse =
            told.response && declared.response && *told.response != *declared.response;
        if ((otherWeighting || otherResponse) && !overruled[size_t(s.file)]) {
            overruled[size_t(s.file)] = true;
            QStringList said;
            if (otherWeighting) {
                said << QStringLiteral("%1, not the %2 declared")
                            .arg(weightingText(told.weighting), weightingText(declared.weighting));
            }
            if (otherResponse) {
                said << QStringLiteral("%1, not the %2 declared")
                            .arg(responseText(told.response), responseText(declared.response));
            }
            states.overruled << QStringLiteral("The metadata of %1 says %2: the metadata holds.")
                                    .arg(name, said.join(QStringLiteral("; ")));
        }
    }
    if (weighting.values.empty()) {
        states.notation = declared;
        return states;
    }
    states.notation = {weighting.agreed(), response.agreed()};
    QStringList mixes;
    weighting.describe(mixes, weightingText);
    response.describe(mixes, responseText);
    if (!mixes.isEmpty()) {
        states.mixed = QStringLiteral(
                           "The survey mixes meter states: %1; its figures are "
                           "labelled without what differs.")
                           .arg(mixes.join(QStringLiteral("; ")));
    }
    return states;
}

}  // namespace lp::stats
