// The two class widths the percentile levels and the histogram are computed at.
#pragma once

namespace lp::stats {

enum class Resolution {
    TenthDb,  // classes of 0.1 dB: index j is j/10 dB, 0 .. 1450
    WholeDb,  // classes of 1 dB: index j is j dB, 0 .. 145
};

// The last class index: the "145 dB and more" class.
[[nodiscard]] constexpr int topClass(Resolution resolution) {
    return resolution == Resolution::TenthDb ? 1450 : 145;
}

// Width of one class in dB; class j stands at j times this.
[[nodiscard]] constexpr double classWidthDb(Resolution resolution) {
    return resolution == Resolution::TenthDb ? 0.1 : 1.0;
}

// The class that collects the records marked "-" (25 dB).
[[nodiscard]] constexpr int dashClass(Resolution resolution) {
    return resolution == Resolution::TenthDb ? 250 : 25;
}

}  // namespace lp::stats
