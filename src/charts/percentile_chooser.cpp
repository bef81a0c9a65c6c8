// The resolution chooser: one Ln computation per button, shown in a histogram.
#include "charts/percentile_chooser.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "charts/histogram.h"
#include "platform/wait_cursor.h"
#include "stats/ln_computation.h"

namespace lp::charts {

PercentileChooser::PercentileChooser(const records::RecordStore& records,
                                     platform::Dialogs& dialogs, QWidget* parent,
                                     std::function<QString()> fileName)
    : QWidget(parent), records_(records), dialogs_(dialogs), fileName_(std::move(fileName)) {
    setObjectName(QStringLiteral("PicResolution"));
    setAccessibleName(QStringLiteral("Resolution"));
    setAutoFillBackground(true);

    auto* frame = new QGroupBox(QStringLiteral("Resolution"), this);
    frame->setObjectName(QStringLiteral("SSFrame1"));
    auto* tenth = new QPushButton(QStringLiteral("0.1 dB"), frame);
    tenth->setObjectName(QStringLiteral("Cmd01dB"));
    tenth->setAccessibleName(QStringLiteral("0.1 dB"));
    tenth->setToolTip(QStringLiteral("Percentile levels in classes of 0.1 dB"));
    auto* whole = new QPushButton(QStringLiteral("1 dB"), frame);
    whole->setObjectName(QStringLiteral("Cmd1dB"));
    whole->setAccessibleName(QStringLiteral("1 dB"));
    whole->setToolTip(QStringLiteral("Percentile levels in classes of 1 dB"));

    auto* buttons = new QVBoxLayout(frame);
    buttons->addWidget(tenth);
    buttons->addWidget(whole);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(frame);

    connect(tenth, &QPushButton::clicked, this, &PercentileChooser::onTenthDbClicked);
    connect(whole, &QPushButton::clicked, this, &PercentileChooser::onWholeDbClicked);
}

void PercentileChooser::onTenthDbClicked() {
    compute(stats::Resolution::TenthDb);
}

void PercentileChooser::onWholeDbClicked() {
    compute(stats::Resolution::WholeDb);
}

void PercentileChooser::compute(stats::Resolution resolution) {
    stats::LnResult result;
    {
        platform::WaitCursor busy;
        const records::RecordStore& store = records_;
        result = stats::computeLn(resolution, store.count(), [&store](qsizetype i) {
            return store.bytes(i, records::Field::Level);
        });
    }
    if (histogram_) {
        histogram_->close();
    }
    hide();
    if (!result.hasLevel) {
        lnLevels_.clear();
        dialogs_.message(parentWidget(), kNoLevelText, platform::MessageIcon::Information);
        return;
    }
    lnLevels_ = result.levels;
    histogram_ = Histogram::showFor(result, dialogs_, fileName_ ? fileName_() : QString());
}

}  // namespace lp::charts
