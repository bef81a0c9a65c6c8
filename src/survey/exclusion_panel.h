// The Survey window's exclusions: the list of excluded spans, a span typed in (from,
// to, local time) to add, and the selected one to remove (the button or Delete).
// The window owns the list; this panel shows it and asks for changes.
#pragma once

#include <QGroupBox>
#include <QTimeZone>
#include <span>

#include "stats/survey.h"

class QDateTimeEdit;
class QListWidget;
class QPushButton;

namespace lp::survey {

class ExclusionPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ExclusionPanel(QTimeZone zone, QWidget* parent = nullptr);

    void showExclusions(std::span<const stats::TimeRange> exclusions);
    // The survey's first and last record: where the typed span starts out.
    void setSurveySpan(qint64 first, qint64 last);

    [[nodiscard]] QListWidget* list() const { return list_; }
    [[nodiscard]] QDateTimeEdit* fromEdit() const { return from_; }
    [[nodiscard]] QDateTimeEdit* toEdit() const { return to_; }
    [[nodiscard]] QPushButton* addButton() const { return add_; }
    [[nodiscard]] QPushButton* removeButton() const { return remove_; }

signals:
    void addRequested(const stats::TimeRange& range);
    void removeRequested(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] stats::TimeRange typedSpan() const;
    void updateButtons();
    void removeSelected();

    QTimeZone zone_;
    QListWidget* list_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
};

}  // namespace lp::survey
