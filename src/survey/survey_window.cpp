// The Survey window: its layout, the analysis on every change, undo, plot and report.
#include "survey/survey_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/accessible_value.h"
#include "platform/dialogs.h"
#include "platform/shortcuts.h"
#include "platform/wait_cursor.h"
#include "stats/figure_text.h"
#include "survey/assessment_tab.h"
#include "survey/exclusion_panel.h"
#include "survey/figure_table_model.h"
#include "survey/profile_chooser.h"
#include "survey/report_command_line.h"
#include "survey/span_records.h"
#include "survey/survey_chart.h"
#include "survey/survey_controls.h"
#include "survey/survey_report.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf);;All Files (*)");

QTableView* figureTable(FigureTableModel* model, const char* objectName,
                        const QString& accessibleName) {
    auto* table = new QTableView;
    table->setObjectName(QLatin1String(objectName));
    table->setAccessibleName(accessibleName);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    // Column widths from the first rows: every row is as wide as those.
    table->horizontalHeader()->setResizeContentsPrecision(48);
    table->horizontalHeader()->setMinimumSectionSize(56);
    return table;
}

QString windowTitleOf(const QStringList& files) {
    return QStringLiteral("Survey: ") + (files.size() == 1
                                             ? QFileInfo(files.front()).fileName()
                                             : QStringLiteral("%1 files").arg(files.size()));
}

QString summaryOf(const stats::SurveyResult& r) {
    QStringList names;
    for (const QString& file : r.files) {
        names << QFileInfo(file).fileName();
    }
    const QString span = r.first && r.last ? QStringLiteral("%1 to %2")
                                                 .arg(localTimeText(*r.first, r.zone),
                                                      localTimeText(*r.last, r.zone))
                                           : QStringLiteral("no dated record");
    const QString repeats = repeatsText(r);
    return QStringLiteral(
               "%1 · %2 · S %3 · %4 records: %5 counted, %6 without a level, %7 "
               "without a time stamp, %8 excluded%9 · coverage %10 · %11")
        .arg(names.join(QStringLiteral(", ")), span,
             r.interval ? QStringLiteral("%1 s").arg(*r.interval) : stats::kNoValue,
             countText(r.records), countText(r.counted), countText(r.leftOut), countText(r.undated),
             countText(r.excluded), repeats.isEmpty() ? QString() : QStringLiteral(", ") + repeats,
             coverageText(surveyCoverage(r)), levelKindText(r.notation, r.adjust));
}

}  // namespace

SurveyWindow::SurveyWindow(stats::SurveyRecords records, platform::Dialogs& dialogs,
                           QSettings& settingsFile, PlotOpener openPlot, QWidget* parent)
    : QWidget(parent, Qt::Window),
      records_(std::move(records)),
      dialogs_(dialogs),
      settings_(settingsFile),
      openPlot_(std::move(openPlot)) {
    setObjectName(QStringLiteral("SurveyWindow"));
    setWindowTitle(windowTitleOf(records_.files));
    setAccessibleName(windowTitle());
    const assess::Profile remembered = rememberedOptions(settings_);
    options_ = remembered.surveyOptions();

    buildToolbar();
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("summaryLabel"));
    summary_->setAccessibleName(QStringLiteral("Survey"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lden_ = new QLabel;
    lden_->setObjectName(QStringLiteral("ldenLabel"));
    lden_->setAccessibleName(QStringLiteral("Lden"));
    lden_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont bold = lden_->font();
    bold.setBold(true);
    lden_->setFont(bold);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("statusLabel"));
    status_->setAccessibleName(QStringLiteral("Status"));
    status_->setWordWrap(true);

    chooser_ = new ProfileChooser(settings_, dialogs_, [this] { return profile(); });
    controls_ = new SurveyControls(options_);
    exclusions_ = new ExclusionPanel(records_.days.zone());
    if (records_.first && records_.last) {
        exclusions_->setSurveySpan(*records_.first, *records_.last);
    }
    auto* settings = new QWidget;
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->addWidget(chooser_);
    settingsLayout->addWidget(controls_);
    settingsLayout->addWidget(exclusions_, 1);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("settingsArea"));
    scroll->setAccessibleName(QStringLiteral("Settings"));
    scroll->setWidget(settings);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(settings->sizeHint().width() + 24);

    chart_ = new SurveyChart;
    auto* figures = new QSplitter(Qt::Vertical);
    figures->setObjectName(QStringLiteral("figuresSplitter"));
    figures->addWidget(chart_);
    figures->addWidget(buildTables());
    figures->setStretchFactor(0, 1);
    figures->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("surveySplitter"));
    split->addWidget(scroll);
    split->addWidget(figures);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(toolbar_);
    layout->addWidget(summary_);
    layout->addWidget(lden_);
    layout->addWidget(split, 1);
    layout->addWidget(status_);

    connect(controls_, &SurveyControls::changed, this, [this] {
        stats::SurveyOptions chosen = controls_->options();
        chosen.exclusions = options_.exclusions;
        options_ = std::move(chosen);
        analyse();
        remember();
    });
    connect(assessment_, &AssessmentTab::optionsChanged, this, &SurveyWindow::remember);
    connect(chooser_, &ProfileChooser::chosen, this,
            [this](const QString& name, const assess::Profile& chosen) {
                chosen_.reset();
                if (!name.isEmpty()) {
                    chosen_ = chosen;
                    showProfile(chosen);
                }
            });
    connect(exclusions_, &ExclusionPanel::addRequested, this, &SurveyWindow::exclude);
    connect(exclusions_, &ExclusionPanel::removeRequested, this, &SurveyWindow::removeExclusion);
    connect(chart_, &SurveyChart::spanSelected, this, &SurveyWindow::exclude);
    connect(periodTable_, &QTableView::activated, this,
            [this](const QModelIndex& index) { plotPeriod(index.row()); });
    connect(eventTable_, &QTableView::activated, this,
            [this](const QModelIndex& index) { plotEvent(index.row()); });
    resize(1180, 780);
    assessment_->showProfile(remembered);
    analyse();
    chosen_ = chooser_->restore(remembered);
}

assess::Profile SurveyWindow::profile() const {
    assess::Profile p;
    p.setSurveyOptions(controls_->options());
    assessment_->takeProfile(p);
    return p;
}

void SurveyWindow::showProfile(const assess::Profile& profile) {
    assessment_->showProfile(profile);
    controls_->setOptions(profile.surveyOptions());  // analyses and remembers
}

void SurveyWindow::remember() {
    const assess::Profile shown = profile();
    rememberOptions(settings_, shown);
    if (chosen_ && !(*chosen_ == shown)) {
        chosen_.reset();
        chooser_->showChosen(QString());
    }
}

SurveyWindow::~SurveyWindow() = default;

void SurveyWindow::buildToolbar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("surveyToolbar"));
    toolbar_->setAccessibleName(QStringLiteral("Toolbar"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    report_ = toolbar_->addAction(QStringLiteral("&Report…"), this, &SurveyWindow::writeReport);
    report_->setObjectName(QStringLiteral("Report"));
    report_->setToolTip(QStringLiteral("Write the survey report as a PDF file"));
    report_->setShortcut(QKeySequence::Print);
    undo_ = toolbar_->addAction(QStringLiteral("&Undo"), this, &SurveyWindow::undo);
    undo_->setObjectName(QStringLiteral("Undo"));
    undo_->setToolTip(QStringLiteral("Undo the last change to the exclusions"));
    undo_->setShortcut(QKeySequence::Undo);
    undo_->setEnabled(false);
    platform::addCloseKeys(this, platform::standardKeys(QKeySequence::Close));
    for (QAction* action : {report_, undo_}) {
        QWidget* button = toolbar_->widgetForAction(action);
        button->setObjectName(action->objectName() + QStringLiteral("Button"));
        button->setAccessibleName(action->text().remove(QLatin1Char('&')));
        action->setToolTip(
            action->toolTip() +
            QStringLiteral(" (%1)").arg(action->shortcut().toString(QKeySequence::NativeText)));
    }
}

QWidget* SurveyWindow::buildTables() {
    periodModel_ = new FigureTableModel(periodHeaders({}, options_.periodLength), 2, this);
    denModel_ = new FigureTableModel(denHeaders(), 1, this);
    eventModel_ = new FigureTableModel(eventHeaders({}), 3, this);
    periodTable_ = figureTable(periodModel_, "periodTable", QStringLiteral("Periods"));
    periodTable_->setToolTip(
        QStringLiteral("Enter or double-click: the record plot of the period"));
    denTable_ = figureTable(denModel_, "denTable", QStringLiteral("Day, evening and night"));
    eventTable_ = figureTable(eventModel_, "eventTable", QStringLiteral("Events"));
    eventTable_->setToolTip(QStringLiteral("Enter or double-click: the record plot of the event"));
    eventCount_ = new QLabel;
    eventCount_->setObjectName(QStringLiteral("eventCountLabel"));
    eventCount_->setAccessibleName(QStringLiteral("Events found"));
    auto* events = new QWidget;
    auto* eventsLayout = new QVBoxLayout(events);
    eventsLayout->setContentsMargins(0, 4, 0, 0);
    eventsLayout->addWidget(eventCount_);
    eventsLayout->addWidget(eventTable_, 1);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("tableTabs"));
    tabs_->setAccessibleName(QStringLiteral("Tables"));
    tabs_->addTab(periodTable_, QStringLiteral("&Periods"));
    tabs_->addTab(denTable_, QStringLiteral("Day, evening, &night"));
    tabs_->addTab(events, QStringLiteral("E&vents"));
    assessment_ = new AssessmentTab(records_, dialogs_);
    tabs_->addTab(assessment_, QStringLiteral("&Assessment"));
    return tabs_;
}

void SurveyWindow::analyse() {
    result_ = stats::analyseSurvey(records_, options_);
    const stats::SurveyResult& r = result_;
    const QTimeZone zone = r.zone;
    if (r.failure) {
        platform::showValue(status_, *r.failure);
        periodModel_->setRows(0, {});
        denModel_->setRows(0, {});
        eventModel_->setRows(0, {});
        platform::showValue(lden_, QStringLiteral("Lden %1").arg(stats::kNoValue));
        platform::showValue(eventCount_, QString());
        chart_->showSurvey(r, {});
        return;
    }
    QStringList notes;
    for (const std::optional<QString>& note : {r.periods.refused, r.mixedStates}) {
        if (note) {
            notes << *note;
        }
    }
    platform::showValue(status_, notes.join(u'\n'));
    periodModel_->setHeaders(periodHeaders(r.notation, options_.periodLength));
    eventModel_->setHeaders(eventHeaders(r.notation));
    platform::showValue(summary_, summaryOf(r));
    platform::showValue(lden_, ldenLine(r.den.overall));
    const std::vector<stats::SurveyPeriod>* periods = &r.periods.list;
    periodModel_->setRows(static_cast<int>(periods->size()), [periods, zone](int row) {
        return periodCells((*periods)[size_t(row)], zone);
    });
    const stats::DenLevels* den = &r.den;
    const int days = static_cast<int>(den->days.size());
    denModel_->setRows(days + 1, [den, days](int row) {
        return denCells(row < days ? den->days[size_t(row)] : den->overall);
    });
    const platform::LargeVector<stats::LevelEvent>* events = &r.events;
    eventModel_->setRows(static_cast<int>(events->size()), [events, zone](int row) {
        return eventCells(row + 1, (*events)[size_t(row)], zone);
    });
    platform::showValue(eventCount_, options_.events ? QStringLiteral("%1 events: %2")
                                                           .arg(countText(qint64(events->size())),
                                                                optionLines(options_).last())
                                                     : QStringLiteral("No events looked for"));
    chart_->showSurvey(r, options_.exclusions);
    assessment_->setSurveyOptions(options_, r.notation);
    for (QTableView* table : {periodTable_, denTable_, eventTable_}) {
        table->resizeColumnsToContents();
    }
}

void SurveyWindow::setExclusions(std::vector<stats::TimeRange> exclusions) {
    options_.exclusions = std::move(exclusions);
    exclusions_->showExclusions(options_.exclusions);
    undo_->setEnabled(!history_.empty());
    analyse();
}

void SurveyWindow::exclude(const stats::TimeRange& span) {
    if (span.to <= span.from) {
        return;
    }
    history_.push_back(options_.exclusions);
    std::vector<stats::TimeRange> exclusions = options_.exclusions;
    exclusions.push_back(span);
    setExclusions(std::move(exclusions));
}

void SurveyWindow::removeExclusion(int index) {
    if (index < 0 || index >= static_cast<int>(options_.exclusions.size())) {
        return;
    }
    history_.push_back(options_.exclusions);
    std::vector<stats::TimeRange> exclusions = options_.exclusions;
    exclusions.erase(exclusions.begin() + index);
    setExclusions(std::move(exclusions));
}

void SurveyWindow::undo() {
    if (history_.empty()) {
        return;
    }
    std::vector<stats::TimeRange> before = std::move(history_.back());
    history_.pop_back();
    setExclusions(std::move(before));
}

void SurveyWindow::writeReport() {
    const std::optional<QString> path = dialogs_.saveFileName(this, kPdfFilter);
    if (!path || path->isEmpty()) {
        return;
    }
    std::optional<QString> failure;
    {
        const platform::WaitCursor wait;
        std::variant<assess::Manifest, QString> manifest = windowReportManifest(
            QCoreApplication::applicationName(), records_, options_,
            QFileInfo(*path).absoluteFilePath(), chosen_ ? chooser_->chosenEntry() : std::nullopt);
        if (const QString* unread = std::get_if<QString>(&manifest)) {
            failure = *unread;
        } else {
            ReportContent content = reportContent(records_, options_);
            content.manifest = std::get<assess::Manifest>(std::move(manifest));
            ReportOptions options;
            options.madeAt = QDateTime::currentDateTime();
            failure = writeSurveyReport(content, options, *path);
        }
    }
    if (failure) {
        platform::showValue(status_, QString());
        dialogs_.message(this, QStringLiteral("The report was not written: %1").arg(*failure),
                         platform::MessageIcon::Warning);
        return;
    }
    platform::showValue(status_, QStringLiteral("Report written to %1").arg(*path));
}

void SurveyWindow::plotSpan(const stats::TimeRange& span, const QString& title) {
    SpanRecords read;
    {
        const platform::WaitCursor wait;
        read = spanRecords(records_, span);
    }
    if (read.error) {
        dialogs_.message(this, stats::surveyReadFailureText(*read.error),
                         platform::MessageIcon::Warning);
        return;
    }
    if (read.store.isEmpty()) {
        dialogs_.message(this, QStringLiteral("No record lies in %1.").arg(title));
        return;
    }
    openPlot_(read.store, title, this);
}

void SurveyWindow::plotPeriod(int row) {
    const std::vector<stats::SurveyPeriod>& periods = result_.periods.list;
    if (row < 0 || row >= static_cast<int>(periods.size())) {
        return;
    }
    const stats::SurveyPeriod& p = periods[size_t(row)];
    plotSpan({p.start, p.end}, QStringLiteral("Period %1 – %2")
                                   .arg(localTimeText(p.start, result_.zone, false),
                                        spanEndText(p.start, p.end, result_.zone, false)));
}

void SurveyWindow::plotEvent(int row) {
    if (row < 0 || row >= static_cast<int>(result_.events.size())) {
        return;
    }
    const stats::LevelEvent& e = result_.events[size_t(row)];
    plotSpan(
        {e.start, e.end},
        QStringLiteral("Event %1: %2").arg(row + 1).arg(spanText(e.start, e.end, result_.zone)));
}

}  // namespace lp::survey
