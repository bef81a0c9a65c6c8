#include "survey/assessment_rating_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include "survey/assessment_files.h"
#include "survey/assessment_rating_rows.h"

namespace lp::survey {
namespace {

struct CorrectionRow {
    assess::CorrectionKind kind;
    const char* label;
    const char* name;  // of the combo box; the reason's edit is name + "Reason"
    const char* spoken;
    std::initializer_list<int> values;
};

const std::array<CorrectionRow, 4> kCorrections = {{
    {assess::CorrectionKind::Tonal, "&Tonal", "tonalCombo", "Tonal correction", {0, 2, 4, 6}},
    {assess::CorrectionKind::Impulsive,
     "Im&pulsive",
     "impulsiveCombo",
     "Impulsive correction",
     {0, 3, 6, 9}},
    {assess::CorrectionKind::Intermittency,
     "I&ntermittency",
     "intermittencyCombo",
     "Intermittency correction",
     {0, 3}},
    {assess::CorrectionKind::Other, "&Other", "otherCombo", "Other correction", {0, 3}},
}};

}  // namespace

AssessmentRatingPanel::AssessmentRatingPanel(platform::Dialogs& dialogs, QWidget* parent)
    : AssessmentPanel(QStringLiteral("rating"), QStringLiteral("Rating level"), parent) {
    dayFrom_ = addRow(QStringLiteral("Da&y from"), "ratingDaySpin", QStringLiteral("Day begins at"),
                      hourSpin(7));
    nightFrom_ = addRow(QStringLiteral("Nig&ht from"), "ratingNightSpin",
                        QStringLiteral("Night begins at"), hourSpin(23));
    trDay_ = addRow(QStringLiteral("T_r &day"), "trDayCombo",
                    QStringLiteral("Reference time interval by day"), lengthCombo(3600));
    trNight_ = addRow(QStringLiteral("T_r ni&ght"), "trNightCombo",
                      QStringLiteral("Reference time interval by night"), lengthCombo(900));

    residual_ =
        new AssessmentFiles(dialogs, QStringLiteral("residual"), QStringLiteral("Residual files"));
    addLabelled(QStringLiteral("Residual files"), residual_);
    residualLevelOn_ = new QCheckBox(QStringLiteral("&Residual level"));
    residualLevel_ = decibelSpin(0, 145, 40);
    nameControl(residualLevelOn_, "residualLevelCheck", QStringLiteral("Residual level given"));
    nameControl(residualLevel_, "residualLevelSpin", QStringLiteral("Residual level"));
    form()->addRow(checkedLevel(residualLevelOn_, residualLevel_));

    specificOn_ = new QCheckBox(QStringLiteral("&Specific level"));
    specific_ = decibelSpin(0, 145, 50);
    onTime_ = new QSpinBox;
    onTime_->setRange(1, 86400);
    onTime_->setValue(3600);
    onTime_->setPrefix(QStringLiteral("on "));
    onTime_->setSuffix(QStringLiteral(" s"));
    connect(onTime_, &QSpinBox::valueChanged, this, &AssessmentPanel::changed);
    nameControl(specificOn_, "specificLevelCheck", QStringLiteral("Specific level given"));
    nameControl(specific_, "specificLevelSpin", QStringLiteral("Specific level"));
    nameControl(onTime_, "onTimeSpin", QStringLiteral("On-time within T_r"));
    form()->addRow(checkedLevel(specificOn_, specific_, onTime_));

    for (size_t i = 0; i < kCorrections.size(); ++i) {
        const CorrectionRow& row = kCorrections[i];
        auto* combo = new QComboBox;
        for (const int db : row.values) {
            combo->addItem(QStringLiteral("%1 dB").arg(db), db);
        }
        connect(combo, &QComboBox::currentIndexChanged, this, &AssessmentPanel::changed);
        auto* reason = new QLineEdit;
        reason->setPlaceholderText(QStringLiteral("reason"));
        connect(reason, &QLineEdit::textChanged, this, &AssessmentPanel::changed);
        const QString spoken = QString::fromLatin1(row.spoken);
        nameControl(combo, row.name, spoken);
        nameControl(reason, (QByteArray(row.name) + "Reason").constData(),
                    spoken + QStringLiteral(": reason"));
        auto* pair = new QWidget;
        auto* layout = new QHBoxLayout(pair);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(combo);
        layout->addWidget(reason, 1);
        auto* label = new QLabel(QString::fromLatin1(row.label));
        label->setBuddy(combo);
        form()->addRow(label, pair);
        corrections_[i] = combo;
        reasons_[i] = reason;
    }

    background_ = new AssessmentFiles(dialogs, QStringLiteral("background"),
                                      QStringLiteral("Background files"));
    addLabelled(QStringLiteral("Background files"), background_);
    backgroundLevelOn_ = new QCheckBox(QStringLiteral("&Background level"));
    backgroundLevel_ = decibelSpin(0, 145, 35);
    nameControl(backgroundLevelOn_, "backgroundLevelCheck",
                QStringLiteral("Background level given"));
    nameControl(backgroundLevel_, "backgroundLevelSpin", QStringLiteral("Background level"));
    form()->addRow(checkedLevel(backgroundLevelOn_, backgroundLevel_));

    connect(residual_, &AssessmentFiles::changed, this, &AssessmentPanel::changed);
    connect(background_, &AssessmentFiles::changed, this, &AssessmentPanel::changed);
}

QWidget* AssessmentRatingPanel::checkedLevel(QCheckBox* check, QDoubleSpinBox* spin,
                                             QWidget* more) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(check);
    layout->addWidget(spin);
    if (more != nullptr) {
        layout->addWidget(more);
    }
    layout->addStretch(1);
    const auto enable = [spin, more](bool on) {
        spin->setEnabled(on);
        if (more != nullptr) {
            more->setEnabled(on);
        }
    };
    enable(false);
    connect(check, &QCheckBox::toggled, this, enable);
    connect(check, &QCheckBox::toggled, this, &AssessmentPanel::changed);
    return row;
}

void AssessmentRatingPanel::surveyChanged(const AssessmentContext& context) {
    residual_->count(context.records, context.options);
    background_->count(context.records, context.options);
}

void AssessmentRatingPanel::assess(const AssessmentContext& context) {
    const int day = dayFrom_->value();
    const int night = nightFrom_->value();
    if (day == night) {
        showProblem(QStringLiteral("The day and the night cannot begin at the same hour."));
        return;
    }
    assess::RatingOptions options;
    options.parts = {{{QStringLiteral("day"), day, night}, trDay_->currentData().toLongLong()},
                     {{QStringLiteral("night"), night, day}, trNight_->currentData().toLongLong()}};
    options.minCoverage = context.minCoverage;
    const std::optional<assess::SurveyInput> residual = residual_->input();
    if (residualLevelOn_->isChecked()) {
        options.residualLevel = residualLevel_->value();
    } else if (residual) {
        options.residual = &*residual;
    }
    if (specificOn_->isChecked()) {
        options.specificLevel = specific_->value();
        options.onTime = onTime_->value();
    }
    for (size_t i = 0; i < kCorrections.size(); ++i) {
        const double db = corrections_[i]->currentData().toDouble();
        if (db != 0.0 || !reasons_[i]->text().trimmed().isEmpty()) {
            options.corrections.push_back(
                {kCorrections[i].kind, db, reasons_[i]->text().trimmed()});
        }
    }
    const std::optional<assess::SurveyInput> background = background_->input();
    if (backgroundLevelOn_->isChecked()) {
        options.backgroundLevel = backgroundLevel_->value();
    } else if (background) {
        options.background = &*background;
    }
    showResult(ratingShown(assess::assessRating({context.records, context.samples}, options),
                           context.records.days.zone()));
}

void AssessmentRatingPanel::showProfile(const assess::Profile& profile) {
    const QSignalBlocker quiet(this);
    dayFrom_->setValue(profile.ratingDayFrom);
    nightFrom_->setValue(profile.ratingNightFrom);
    trDay_->setCurrentIndex(trDay_->findData(QVariant::fromValue(profile.trDay)));
    trNight_->setCurrentIndex(trNight_->findData(QVariant::fromValue(profile.trNight)));
}

void AssessmentRatingPanel::takeProfile(assess::Profile& profile) const {
    profile.ratingDayFrom = dayFrom_->value();
    profile.ratingNightFrom = nightFrom_->value();
    profile.trDay = trDay_->currentData().toLongLong();
    profile.trNight = trNight_->currentData().toLongLong();
}

}  // namespace lp::survey
