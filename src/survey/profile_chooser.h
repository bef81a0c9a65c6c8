// The Survey window's profiles: a combo box of the profiles saved in the profiles
// folder (assess/profile.h), "Save…" (asks a name and writes the window's options as
// that profile) and "Delete" (the chosen one, after asking). Choosing a profile tells
// its options (chosen()); one that cannot be read is told and none is chosen.
#pragma once

#include <QWidget>
#include <functional>

#include "assess/manifest.h"
#include "assess/profile.h"

class QComboBox;
class QPushButton;
class QSettings;

namespace lp::platform {
class Dialogs;
}

namespace lp::survey {

// The Survey window's options remembered in `settings`; the defaults when there are
// none or they cannot be used.
[[nodiscard]] assess::Profile rememberedOptions(const QSettings& settings);
void rememberOptions(QSettings& settings, const assess::Profile& profile);

class ProfileChooser : public QWidget {
    Q_OBJECT
public:
    // The profiles are those of the profiles folder beside the settings file, which
    // keeps the name chosen; `current`: the window's options, for "Save…".
    ProfileChooser(QSettings& settings, platform::Dialogs& dialogs,
                   std::function<assess::Profile()> current, QWidget* parent = nullptr);

    // Shows the profile chosen last as chosen again when `shown` (the options the
    // window shows) are still its own, and gives it; none otherwise.
    [[nodiscard]] std::optional<assess::Profile> restore(const assess::Profile& shown);

    // The name chosen; empty for none.
    [[nodiscard]] QString chosenName() const;
    // Shows `name` as chosen (when it is saved), without telling it; kept as the one
    // chosen.
    void showChosen(const QString& name);
    // Chooses `name` (or none for an empty one), telling its options.
    void choose(const QString& name);
    // The manifest's entry of the profile chosen, read again; none without one.
    [[nodiscard]] std::optional<assess::ManifestProfile> chosenEntry() const;
    void saveAs();
    void deleteChosen();

    [[nodiscard]] QComboBox* combo() const { return combo_; }
    [[nodiscard]] QPushButton* saveButton() const { return save_; }
    [[nodiscard]] QPushButton* deleteButton() const { return delete_; }

signals:
    // A profile was chosen (`name` empty: none, and `profile` is nothing to apply).
    void chosen(const QString& name, const assess::Profile& profile);

private:
    void fill(const QString& selected);
    [[nodiscard]] QString pathOf(const QString& name) const;

    QSettings& settings_;
    QString folder_;
    platform::Dialogs& dialogs_;
    std::function<assess::Profile()> current_;
    QComboBox* combo_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace lp::survey
