#include "panel/panel_memory.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QSettings>
#include <QSpinBox>
#include <algorithm>
#include <array>

#include "live/limit_watch.h"
#include "live/live_cycle.h"
#include "live/recording.h"
#include "live/sampling_time.h"
#include "panel/limit_texts.h"
#include "panel/panel.h"

namespace lp::panel {
namespace {

const QString kSampling = QStringLiteral("panel/samplingSeconds");
const QString kRecordingFile = QStringLiteral("panel/recordingFile");
const QString kAlarmLevel = QStringLiteral("panel/alarmLevel");
const QString kAlarmSeconds = QStringLiteral("panel/alarmSeconds");
const QString kAlarmOn = QStringLiteral("panel/alarmOn");
const QString kLimitRules = QStringLiteral("limits/rules");

constexpr std::array kFigures = {assess::LimitFigure::Laeq, assess::LimitFigure::Lmax,
                                 assess::LimitFigure::L10, assess::LimitFigure::L90};

// A rule as the settings file holds it: its fields by name, the figure as --limit
// names it ("laeq"), the hours and seconds as numbers, no warning as no key.
void writeRules(QSettings& settings, const std::vector<live::LiveLimitRule>& rules) {
    settings.remove(kLimitRules);
    settings.beginWriteArray(kLimitRules, int(rules.size()));
    for (int i = 0; i < int(rules.size()); ++i) {
        const live::LiveLimitRule& rule = rules[size_t(i)];
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("figure"), assess::limitFigureName(rule.figure));
        settings.setValue(QStringLiteral("rolling"), rule.rolling);
        settings.setValue(QStringLiteral("seconds"), rule.length);
        settings.setValue(QStringLiteral("from"), rule.from);
        settings.setValue(QStringLiteral("to"), rule.to);
        settings.setValue(QStringLiteral("limit"), rule.db);
        if (rule.warn) {
            settings.setValue(QStringLiteral("warning"), *rule.warn);
        }
    }
    settings.endArray();
}

// The rules the settings file holds; a rule with an unknown figure or a field out of
// its range (the file edited by hand) is left out.
std::vector<live::LiveLimitRule> readRules(QSettings& settings) {
    std::vector<live::LiveLimitRule> rules;
    const int count = settings.beginReadArray(kLimitRules);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        live::LiveLimitRule rule;
        const QString figure = settings.value(QStringLiteral("figure")).toString();
        const auto known = std::find_if(kFigures.begin(), kFigures.end(), [&](auto f) {
            return assess::limitFigureName(f) == figure;
        });
        rule.rolling = settings.value(QStringLiteral("rolling")).toBool();
        rule.length = settings.value(QStringLiteral("seconds")).toLongLong();
        rule.from = settings.value(QStringLiteral("from")).toInt();
        rule.to = settings.value(QStringLiteral("to"), 24).toInt();
        rule.db = settings.value(QStringLiteral("limit")).toDouble();
        const QVariant warn = settings.value(QStringLiteral("warning"));
        if (warn.isValid()) {
            rule.warn = warn.toDouble();
        }
        if (known == kFigures.end() || rule.length <= 0 || rule.from < 0 || rule.from > 23 ||
            rule.to < 1 || rule.to > 24 || rule.db <= 0.0 ||
            (rule.rolling && *known != assess::LimitFigure::Laeq)) {
            continue;
        }
        rule.figure = *known;
        rule.text = limitRuleText(rule);
        rules.push_back(rule);
    }
    settings.endArray();
    return rules;
}

}  // namespace

void rememberPanelSettings(Panel& panel, live::LiveCycle& cycle, live::Recording& recording,
                           live::LimitWatch& limits, QSettings& settings) {
    // Given back first, then followed: what is given back is not written again.
    const int seconds = settings.value(kSampling).toInt();
    if (seconds >= live::kMinSamplingSeconds && seconds <= live::kMaxSamplingSeconds) {
        cycle.setSamplingSeconds(seconds);
    }
    const QString file = settings.value(kRecordingFile).toString();
    if (!file.isEmpty() && QFileInfo(file).absoluteDir().exists()) {
        recording.chooseFile(file);
    }
    const AlarmFace& alarm = panel.face().alarm;
    if (settings.contains(kAlarmLevel)) {
        alarm.level->setValue(settings.value(kAlarmLevel).toDouble());
    }
    if (settings.contains(kAlarmSeconds)) {
        alarm.seconds->setValue(settings.value(kAlarmSeconds).toInt());
    }
    alarm.enabled->setChecked(settings.value(kAlarmOn, false).toBool());
    std::vector<live::LiveLimitRule> rules = readRules(settings);
    if (!rules.empty()) {
        live::LiveLimitOptions options = limits.options();
        options.rules = std::move(rules);
        limits.setOptions(std::move(options));
    }

    QObject::connect(
        &cycle, &live::LiveCycle::viewChanged, &panel,
        [&settings, shown = cycle.samplingSeconds()](const live::LiveView& view) mutable {
            if (view.samplingSeconds != shown) {
                shown = view.samplingSeconds;
                settings.setValue(kSampling, shown);
            }
        });
    QObject::connect(
        &recording, &live::Recording::viewChanged, &panel,
        [&settings, shown = recording.view().file](const live::RecordingView& view) mutable {
            if (view.file != shown) {
                shown = view.file;
                settings.setValue(kRecordingFile, shown);
            }
        });
    QObject::connect(alarm.level, &QDoubleSpinBox::valueChanged, &panel,
                     [&settings](double level) { settings.setValue(kAlarmLevel, level); });
    QObject::connect(alarm.seconds, &QSpinBox::valueChanged, &panel,
                     [&settings](int s) { settings.setValue(kAlarmSeconds, s); });
    QObject::connect(alarm.enabled, &QCheckBox::toggled, &panel,
                     [&settings](bool on) { settings.setValue(kAlarmOn, on); });
    QObject::connect(&limits, &live::LimitWatch::statusesChanged, &panel,
                     [&settings, &limits, shown = limits.options().rules](
                         const std::vector<live::LimitStatus>&) mutable {
                         if (limits.options().rules != shown) {
                             shown = limits.options().rules;
                             writeRules(settings, shown);
                         }
                     });
}

}  // namespace lp::panel
