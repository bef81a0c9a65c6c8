#include "survey/assessment_panel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableView>

#include "platform/accessible_value.h"
#include "survey/figure_table_model.h"
#include "survey/survey_texts.h"

namespace lp::survey {

AssessmentPanel::AssessmentPanel(const QString& name, const QString& title, QWidget* parent)
    : QWidget(parent), name_(name) {
    setObjectName(name + QStringLiteral("Panel"));
    setAccessibleName(title);
    auto* inputs = new QWidget;
    form_ = new QFormLayout(inputs);
    form_->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(name + QStringLiteral("Inputs"));
    scroll->setAccessibleName(title + QStringLiteral(" inputs"));
    scroll->setWidget(inputs);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As wide as the inputs ask: the results take the rest.
    scroll->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    scroll->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);

    result_ = new QLabel;
    result_->setObjectName(name + QStringLiteral("ResultLabel"));
    result_->setAccessibleName(title + QStringLiteral(" result"));
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* results = new QWidget;
    results_ = new QVBoxLayout(results);
    results_->setContentsMargins(0, 0, 0, 0);
    results_->addWidget(result_);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(scroll);
    layout->addWidget(results, 1);
}

void AssessmentPanel::nameControl(QWidget* control, const char* objectName,
                                  const QString& accessibleName) {
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(accessibleName);
}

void AssessmentPanel::addLabelled(const QString& label, QWidget* control) {
    auto* text = new QLabel(label);
    text->setBuddy(control);
    form_->addRow(text, control);
}

QSpinBox* AssessmentPanel::hourSpin(int value) {
    auto* spin = new QSpinBox;
    spin->setRange(0, 23);
    spin->setValue(value);
    spin->setSuffix(QStringLiteral(" h"));
    connect(spin, &QSpinBox::valueChanged, this, &AssessmentPanel::changed);
    return spin;
}

QDoubleSpinBox* AssessmentPanel::decibelSpin(double low, double high, double value) {
    auto* spin = new QDoubleSpinBox;
    spin->setRange(low, high);
    spin->setDecimals(1);
    spin->setValue(value);
    spin->setSuffix(QStringLiteral(" dB"));
    connect(spin, &QDoubleSpinBox::valueChanged, this, &AssessmentPanel::changed);
    return spin;
}

QComboBox* AssessmentPanel::lengthCombo(qint64 value) {
    auto* combo = new QComboBox;
    for (const qint64 length : periodLengths()) {
        combo->addItem(periodLengthText(length), QVariant::fromValue(length));
    }
    combo->setCurrentIndex(combo->findData(QVariant::fromValue(value)));
    connect(combo, &QComboBox::currentIndexChanged, this, &AssessmentPanel::changed);
    return combo;
}

void AssessmentPanel::addResultWidget(QWidget* widget) {
    results_->insertWidget(1, widget, 1);
}

QTableView* AssessmentPanel::table(int index) const {
    return index >= 0 && index < tableCount() ? tables_[size_t(index)].view : nullptr;
}

AssessmentPanel::ShownTable& AssessmentPanel::tableAt(size_t index, const AssessmentTable& table) {
    if (index == tables_.size()) {
        ShownTable shown;
        shown.title = new QLabel;
        shown.title->setObjectName(name_ + QStringLiteral("TableTitle%1").arg(index));
        shown.view = new QTableView;
        shown.view->setObjectName(name_ + QStringLiteral("Table%1").arg(index));
        shown.view->setSelectionBehavior(QAbstractItemView::SelectRows);
        shown.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        shown.view->setAlternatingRowColors(true);
        shown.view->verticalHeader()->hide();
        shown.view->setWordWrap(false);
        shown.view->horizontalHeader()->setResizeContentsPrecision(48);
        results_->addWidget(shown.title);
        results_->addWidget(shown.view, 1);
        tables_.push_back(shown);
    }
    ShownTable& shown = tables_[index];
    if (shown.model == nullptr || shown.headers != table.headers) {
        auto* model = new FigureTableModel(table.headers, table.textColumns, shown.view);
        shown.view->setModel(model);
        delete shown.model;
        shown.model = model;
        shown.headers = table.headers;
    }
    return shown;
}

void AssessmentPanel::showResult(AssessmentShown shown) {
    platform::showValue(result_, shown.lines.join(u'\n'));
    for (size_t i = 0; i < shown.tables.size(); ++i) {
        AssessmentTable& table = shown.tables[i];
        ShownTable& at = tableAt(i, table);
        at.title->setText(table.title);
        at.view->setAccessibleName(table.title);
        auto rows = std::make_shared<std::vector<QStringList>>(std::move(table.rows));
        at.model->setRows(static_cast<int>(rows->size()),
                          [rows](int row) { return (*rows)[size_t(row)]; });
        at.view->resizeColumnsToContents();
        at.title->show();
        at.view->show();
    }
    for (size_t i = shown.tables.size(); i < tables_.size(); ++i) {
        tables_[i].title->hide();
        tables_[i].view->hide();
    }
}

void AssessmentPanel::showProblem(const QString& problem) {
    showResult({{}, {problem}});
}

}  // namespace lp::survey
