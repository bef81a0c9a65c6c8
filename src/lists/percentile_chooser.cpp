#include "lists/percentile_chooser.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "charts/histogram.h"
#include "lists/hdd_saved_list.h"
#include "lists/stats/ln_computation.h"
#include "lists/wait_cursor.h"

namespace lp::lists {

PercentileChooser::PercentileChooser(HddSavedList& window, app::ProgramState& state,
                                     platform::Dialogs& dialogs)
    : window_(window), state_(state), dialogs_(dialogs) {
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

    connect(tenth, &QPushButton::clicked, this, &PercentileChooser::Cmd01dB_Click);
    connect(whole, &QPushButton::clicked, this, &PercentileChooser::Cmd1dB_Click);
    window_.installResolutionChooser(this);
}

void PercentileChooser::Cmd01dB_Click() {
    compute(Resolution::TenthDb);
}

void PercentileChooser::Cmd1dB_Click() {
    compute(Resolution::WholeDb);
}

void PercentileChooser::compute(Resolution resolution) {
    LnResult result;
    {
        WaitCursor busy;
        const records::RecordStore& store = window_.records().store();
        result = computeLn(resolution, store.count(),
                           [&store](qsizetype i) { return store.bytes(i, records::Field::Level); });
    }
    if (histogram_) {
        histogram_->close();
    }
    hide();
    if (!result.hasLevel) {
        lnLevels_.clear();
        dialogs_.message(&window_, kNoLevelText, platform::MessageIcon::Information);
        return;
    }
    lnLevels_ = result.levels;
    histogram_ = charts::Histogram::showFor(result, state_, dialogs_);
}

}  // namespace lp::lists
