// The limits window beside the panel: the live limit rules as a table with a row to
// make a new one (figure, fixed periods or rolling, T, hours, limit, warning), and a
// line per rule with its lamp (quiet, warning, alarm) and its figure so far with the
// level still allowed. The rules belong to live::LimitWatch (which the session owns
// and feeds the live samples): the window sets them there and renders its statuses,
// and shows the watch's rules again when it is opened again.
#pragma once

#include <QWidget>
#include <vector>

#include "live/limit_watch.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;

namespace lp::panel {

class LimitWindow : public QWidget {
    Q_OBJECT
public:
    explicit LimitWindow(live::LimitWatch& watch, QWidget* parent = nullptr);

    // The lines of `statuses` under the rules (the watch's statusesChanged after a
    // sample).
    void showStatuses(const std::vector<live::LimitStatus>& statuses);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] live::LiveLimitRule ruleOfForm() const;
    void addRule();
    void removeRule();
    void setRules(std::vector<live::LiveLimitRule> rules);
    void showRules();
    void onFigureChanged();
    // T's choices: fixed periods divide a day into whole minutes or hours.
    void offerLengths();

    live::LimitWatch& watch_;
    QComboBox* figure_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* length_ = nullptr;
    QSpinBox* from_ = nullptr;
    QSpinBox* to_ = nullptr;
    QDoubleSpinBox* db_ = nullptr;
    QDoubleSpinBox* warn_ = nullptr;
    QPushButton* add_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* remove_ = nullptr;
    QVBoxLayout* lines_ = nullptr;
    std::vector<QLabel*> lamps_;
    std::vector<QLabel*> texts_;
    bool settingRules_ = false;
    bool pending_ = false;  // no sample since the rules were set here
};

}  // namespace lp::panel
