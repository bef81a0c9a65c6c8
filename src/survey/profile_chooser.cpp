#include "survey/profile_chooser.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>

#include "platform/dialogs.h"
#include "platform/settings_place.h"

namespace lp::survey {
namespace {

const QString kNone = QStringLiteral("(none)");
// What the window remembers: its options (a profile's JSON) and the profile chosen.
const QString kOptionsKey = QStringLiteral("survey/options");
const QString kProfileKey = QStringLiteral("survey/profile");

}  // namespace

assess::Profile rememberedOptions(const QSettings& settings) {
    const QJsonDocument json =
        QJsonDocument::fromJson(settings.value(kOptionsKey).toString().toUtf8());
    const std::variant<assess::Profile, QString> read =
        assess::profileOfJson(json.object(), settings.fileName());
    const assess::Profile* profile = std::get_if<assess::Profile>(&read);
    return profile != nullptr ? *profile : assess::Profile();
}

void rememberOptions(QSettings& settings, const assess::Profile& profile) {
    settings.setValue(
        kOptionsKey,
        QString::fromUtf8(
            QJsonDocument(assess::profileJson(profile)).toJson(QJsonDocument::Compact)));
}

ProfileChooser::ProfileChooser(QSettings& settings, platform::Dialogs& dialogs,
                               std::function<assess::Profile()> current, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      folder_(platform::profilesFolder(QFileInfo(settings.fileName()).absolutePath())),
      dialogs_(dialogs),
      current_(std::move(current)) {
    setObjectName(QStringLiteral("profileChooser"));
    setAccessibleName(QStringLiteral("Profile"));
    combo_ = new QComboBox;
    combo_->setObjectName(QStringLiteral("profileCombo"));
    combo_->setAccessibleName(QStringLiteral("Profile"));
    combo_->setToolTip(
        QStringLiteral("A saved set of the survey's and the assessments' options: choosing one "
                       "sets them all"));
    auto* label = new QLabel(QStringLiteral("Pro&file"));
    label->setBuddy(combo_);
    save_ = new QPushButton(QStringLiteral("&Save…"));
    save_->setObjectName(QStringLiteral("saveProfileButton"));
    save_->setAccessibleName(QStringLiteral("Save profile"));
    save_->setToolTip(QStringLiteral("Save the options as a profile, under a name"));
    delete_ = new QPushButton(QStringLiteral("Delete"));
    delete_->setObjectName(QStringLiteral("deleteProfileButton"));
    delete_->setAccessibleName(QStringLiteral("Delete profile"));
    delete_->setToolTip(QStringLiteral("Delete the profile chosen"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(combo_, 1);
    layout->addWidget(save_);
    layout->addWidget(delete_);
    fill(QString());
    connect(combo_, &QComboBox::activated, this,
            [this](int index) { choose(index <= 0 ? QString() : combo_->itemText(index)); });
    connect(save_, &QPushButton::clicked, this, &ProfileChooser::saveAs);
    connect(delete_, &QPushButton::clicked, this, &ProfileChooser::deleteChosen);
}

std::optional<assess::Profile> ProfileChooser::restore(const assess::Profile& shown) {
    const QString name = settings_.value(kProfileKey).toString();
    if (name.isEmpty() || assess::profileNameProblem(name)) {
        return std::nullopt;
    }
    const std::variant<assess::ReadProfile, QString> read = assess::readProfile(pathOf(name));
    const auto* saved = std::get_if<assess::ReadProfile>(&read);
    if (saved == nullptr || !(saved->profile == shown)) {
        return std::nullopt;
    }
    fill(name);
    return saved->profile;
}

QString ProfileChooser::pathOf(const QString& name) const {
    return assess::profilePath(name, folder_);
}

QString ProfileChooser::chosenName() const {
    return combo_->currentIndex() <= 0 ? QString() : combo_->currentText();
}

void ProfileChooser::fill(const QString& selected) {
    const QSignalBlocker quiet(combo_);
    combo_->clear();
    combo_->addItem(kNone);
    combo_->addItems(assess::profileNames(folder_));
    combo_->setCurrentIndex(std::max(0, combo_->findText(selected)));
    delete_->setEnabled(combo_->currentIndex() > 0);
}

void ProfileChooser::showChosen(const QString& name) {
    fill(name);
    settings_.setValue(kProfileKey, chosenName());
}

void ProfileChooser::choose(const QString& name) {
    if (name.isEmpty()) {
        showChosen(QString());
        emit chosen(QString(), assess::Profile());
        return;
    }
    const std::variant<assess::ReadProfile, QString> read = assess::readProfile(pathOf(name));
    if (const QString* problem = std::get_if<QString>(&read)) {
        showChosen(QString());
        dialogs_.message(this, *problem, platform::MessageIcon::Warning);
        return;
    }
    showChosen(name);
    emit chosen(name, std::get<assess::ReadProfile>(read).profile);
}

std::optional<assess::ManifestProfile> ProfileChooser::chosenEntry() const {
    const QString name = chosenName();
    const std::variant<assess::ReadProfile, QString> read =
        name.isEmpty() ? std::variant<assess::ReadProfile, QString>(QString())
                       : assess::readProfile(pathOf(name));
    const auto* saved = std::get_if<assess::ReadProfile>(&read);
    if (saved == nullptr) {
        return std::nullopt;
    }
    return assess::manifestProfile(name, pathOf(name), saved->bytes,
                                   assess::profileJson(saved->profile));
}

void ProfileChooser::saveAs() {
    const std::optional<QString> typed = dialogs_.input(
        this, QStringLiteral("Save profile"),
        QStringLiteral("Name of the profile (its options are those of this window):"),
        chosenName());
    if (!typed) {
        return;
    }
    const QString name = typed->trimmed();
    if (const std::optional<QString> problem = assess::profileNameProblem(name)) {
        dialogs_.message(this, QStringLiteral("The profile was not saved: %1.").arg(*problem),
                         platform::MessageIcon::Warning);
        return;
    }
    if (QFile::exists(pathOf(name)) &&
        !dialogs_.ask(this, QStringLiteral("Replace the profile %1?").arg(name))) {
        return;
    }
    if (const std::optional<QString> failed = assess::writeProfile(pathOf(name), current_())) {
        dialogs_.message(this, QStringLiteral("The profile was not saved: %1.").arg(*failed),
                         platform::MessageIcon::Warning);
        return;
    }
    showChosen(name);
    emit chosen(name, current_());
}

void ProfileChooser::deleteChosen() {
    const QString name = chosenName();
    if (name.isEmpty() || !dialogs_.ask(this, QStringLiteral("Delete the profile %1?").arg(name))) {
        return;
    }
    if (!QFile::remove(pathOf(name))) {
        dialogs_.message(this, QStringLiteral("The profile %1 cannot be deleted.").arg(name),
                         platform::MessageIcon::Warning);
    }
    choose(QString());
}

}  // namespace lp::survey
