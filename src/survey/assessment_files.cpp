#include "survey/assessment_files.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/accessible_value.h"
#include "platform/dialogs.h"
#include "platform/wait_cursor.h"

namespace lp::survey {

AssessmentFiles::AssessmentFiles(platform::Dialogs& dialogs, const QString& name,
                                 const QString& what, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    setObjectName(name + QStringLiteral("Files"));
    setAccessibleName(what);
    choose_ = new QPushButton(QStringLiteral("Choose…"));
    choose_->setObjectName(name + QStringLiteral("FilesButton"));
    choose_->setAccessibleName(QStringLiteral("Choose %1").arg(what.toLower()));
    clear_ = new QPushButton(QStringLiteral("Clear"));
    clear_->setObjectName(name + QStringLiteral("ClearButton"));
    clear_->setAccessibleName(QStringLiteral("Clear %1").arg(what.toLower()));
    clear_->setEnabled(false);
    names_ = new QLabel;
    names_->setObjectName(name + QStringLiteral("FilesLabel"));
    names_->setAccessibleName(what);
    names_->setWordWrap(true);
    platform::showValue(names_, QStringLiteral("none"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(choose_);
    layout->addWidget(clear_);
    layout->addWidget(names_, 1);
    connect(choose_, &QPushButton::clicked, this, &AssessmentFiles::choose);
    connect(clear_, &QPushButton::clicked, this, &AssessmentFiles::clear);
}

void AssessmentFiles::choose() {
    const QStringList files = dialogs_.openFileNames(this, platform::kRecordFileFilter);
    if (files.isEmpty()) {
        return;
    }
    stats::SurveyRecords read;
    {
        const platform::WaitCursor wait;
        read = stats::readSurvey(files, zone_);
    }
    if (read.error) {
        dialogs_.message(this, stats::surveyReadFailureText(*read.error, read.misdated),
                         platform::MessageIcon::Warning);
        return;
    }
    records_ = std::move(read);
    QStringList names;
    for (const QString& file : files) {
        names << QFileInfo(file).fileName();
    }
    platform::showValue(names_, names.join(QStringLiteral(", ")));
    clear_->setEnabled(true);
    recount();
    emit changed();
}

void AssessmentFiles::clear() {
    if (!records_) {
        return;
    }
    records_.reset();
    samples_ = {};
    platform::showValue(names_, QStringLiteral("none"));
    clear_->setEnabled(false);
    emit changed();
}

void AssessmentFiles::count(const stats::SurveyRecords& survey,
                            const stats::SurveyOptions& options) {
    zone_ = survey.days.zone();
    options_ = options;
    recount();
}

void AssessmentFiles::recount() {
    if (records_) {
        qint64 excluded = 0;
        samples_ = stats::countedSamples(*records_, options_, excluded);
    }
}

std::optional<assess::SurveyInput> AssessmentFiles::input() const {
    if (!records_) {
        return std::nullopt;
    }
    return assess::SurveyInput{*records_, samples_};
}

}  // namespace lp::survey
