// How figures are labelled where the weighting and response of the levels are known:
// the notation of IEC 61672-1 and ISO 1996-1. The frequency weighting follows the L,
// the time weighting follows it where the figure depends on it (not in an Leq), and the
// time interval comes after a comma: "LAeq,1h", "LAFmax", "LAF90,15min". What is not
// known is left out: "Leq,1h", "Lmax", "L90,15min".
#pragma once

#include <QString>
#include <optional>

#include "records/run_metadata.h"

namespace lp::stats {

struct Notation {
    std::optional<records::Weighting> weighting;
    std::optional<records::Response> response;
};

// Rating: the rating level of BS 4142 and ISO 1996-1 ("LAr,1h"), an Leq with corrections.
enum class Figure { Leq, Lmax, Lmin, Exceeded, Rating };

// "1h", "15min", "30s", "24h": a time interval as the labels write it.
[[nodiscard]] QString intervalLabel(qint64 seconds);

// The label of a figure: `percent` for Exceeded (the N of LN), `seconds` the time
// interval, none for a figure over the whole stretch shown ("LAeq", "LAF10").
[[nodiscard]] QString figureLabel(const Notation& notation, Figure figure, int percent = 0,
                                  std::optional<qint64> seconds = std::nullopt);

// A level correction as the outputs state it: "+2.5 dB", "-3.0 dB", "0.0 dB".
[[nodiscard]] QString adjustText(double adjust);

}  // namespace lp::stats
