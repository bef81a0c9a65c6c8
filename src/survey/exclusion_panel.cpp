// The list of excluded spans and the controls that change it.
#include "survey/exclusion_panel.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

// A time edit that takes a time typed whole, separators and all. The stock edit moves
// on to the next section once a section is full ("13" of the hour), and then moves on
// once more at the separator typed after it (":"), so "13:10:00" came out as 13:00:10.
// Here a separator typed right after such a move is taken as the one moved past.
class TypedTimeEdit final : public QDateTimeEdit {
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        const bool printable = text.size() == 1 && text.front().isPrint();
        const bool separator = printable && !text.front().isLetterOrNumber();
        if (separator && movedOn_) {
            movedOn_ = false;
            event->accept();
            return;
        }
        const int section = currentSectionIndex();
        QDateTimeEdit::keyPressEvent(event);
        movedOn_ = printable && text.front().isDigit() && currentSectionIndex() != section;
    }
    void focusInEvent(QFocusEvent* event) override {
        movedOn_ = false;
        QDateTimeEdit::focusInEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        movedOn_ = false;
        QDateTimeEdit::mousePressEvent(event);
    }

private:
    bool movedOn_ = false;  // the last key was a digit that filled its section
};

QDateTimeEdit* timeEdit(const char* objectName, const QString& accessibleName) {
    auto* edit = new TypedTimeEdit;
    edit->setObjectName(QLatin1String(objectName));
    edit->setAccessibleName(accessibleName);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    edit->setCalendarPopup(true);
    return edit;
}

}  // namespace

ExclusionPanel::ExclusionPanel(QTimeZone zone, QWidget* parent)
    : QGroupBox(QStringLiteral("Exclusions"), parent), zone_(std::move(zone)) {
    setObjectName(QStringLiteral("exclusionsGroup"));
    setAccessibleName(QStringLiteral("Exclusions"));
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("exclusionList"));
    list_->setAccessibleName(QStringLiteral("Excluded spans"));
    list_->setToolTip(
        QStringLiteral("Drag across the chart to exclude a span; Delete removes "
                       "the selected one"));
    list_->installEventFilter(this);
    from_ = timeEdit("excludeFromEdit", QStringLiteral("Exclude from"));
    to_ = timeEdit("excludeToEdit", QStringLiteral("Exclude to"));
    add_ = new QPushButton(QStringLiteral("&Add"));
    add_->setObjectName(QStringLiteral("addExclusionButton"));
    add_->setAccessibleName(QStringLiteral("Add excluded span"));
    remove_ = new QPushButton(QStringLiteral("&Remove"));
    remove_->setObjectName(QStringLiteral("removeExclusionButton"));
    remove_->setAccessibleName(QStringLiteral("Remove excluded span"));

    auto* form = new QFormLayout;
    auto* fromLabel = new QLabel(QStringLiteral("&From"));
    fromLabel->setBuddy(from_);
    auto* toLabel = new QLabel(QStringLiteral("T&o"));
    toLabel->setBuddy(to_);
    form->addRow(fromLabel, from_);
    form->addRow(toLabel, to_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, [this] { emit addRequested(typedSpan()); });
    connect(remove_, &QPushButton::clicked, this, &ExclusionPanel::removeSelected);
    connect(from_, &QDateTimeEdit::dateTimeChanged, this, &ExclusionPanel::updateButtons);
    connect(to_, &QDateTimeEdit::dateTimeChanged, this, &ExclusionPanel::updateButtons);
    connect(list_, &QListWidget::currentRowChanged, this, &ExclusionPanel::updateButtons);
    updateButtons();
}

void ExclusionPanel::showExclusions(std::span<const stats::TimeRange> exclusions) {
    list_->clear();
    for (const QString& text : exclusionTexts(exclusions, zone_)) {
        list_->addItem(text);
    }
    updateButtons();
}

void ExclusionPanel::setSurveySpan(qint64 first, qint64 last) {
    const QDateTime start = QDateTime::fromSecsSinceEpoch(first, zone_);
    from_->setDateTime(start);
    to_->setDateTime(QDateTime::fromSecsSinceEpoch(std::min(first + 3600, last + 1), zone_));
}

stats::TimeRange ExclusionPanel::typedSpan() const {
    const auto instant = [this](const QDateTimeEdit* edit) {
        return QDateTime(edit->date(), edit->time(), zone_).toSecsSinceEpoch();
    };
    return {instant(from_), instant(to_)};
}

void ExclusionPanel::updateButtons() {
    const stats::TimeRange span = typedSpan();
    add_->setEnabled(span.to > span.from);
    remove_->setEnabled(list_->currentRow() >= 0);
}

void ExclusionPanel::removeSelected() {
    if (list_->currentRow() >= 0) {
        emit removeRequested(list_->currentRow());
    }
}

bool ExclusionPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace lp::survey
