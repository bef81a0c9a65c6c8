// The shared record-list window: client area, column grids and toolbar.
#include "lists/record_list_window.h"

#include <QAction>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>

#include "lists/grid_coupling.h"
#include "lists/toolbar_icons.h"
#include "platform/shortcuts.h"
#include "platform/twips.h"
#include "platform/window_place.h"

namespace lp::lists {

RecordListWindow::RecordListWindow(const RecordListLayout& layout, QWidget* anchor, QWidget* parent)
    : QMainWindow(parent, Qt::Window), layout_(layout), recordGrid_(layout.recordGridHeader) {
    setCaption(layout_.caption);
    setObjectName(layout_.caption);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    const platform::TwipScale twips(*this);
    client_->setFixedSize(twips.x(kClientWidthTwips), twips.y(kClientHeightTwips));
    setCentralWidget(client_);
    // Six menu commands share a narrow window: keep their padding small so they fit.
    menuBar()->setStyleSheet(
        QStringLiteral("QMenuBar { spacing: 0px; } QMenuBar::item { padding: 2px 3px; }"));
    platform::showCommandTips(menuBar());
    QWidget::layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (int k = 0; k < 3; ++k) {
        grids_[static_cast<size_t>(k)] = makeGrid(k);
    }
    coupling_ = new GridCoupling(grids_, this);
    placeBeside(anchor);
    platform::placeOnScreenAtShow(*this);
}

RecordListWindow::~RecordListWindow() {
    // The grids go before the model they show.
    delete client_;
}

QTableView* RecordListWindow::makeGrid(int index) {
    const ColumnGridDesign& design = kColumnGrids.at(static_cast<size_t>(index));
    const QString heading = records::RecordTableModel::headerTexts().at(index);
    auto* view = new QTableView(client_);
    view->setObjectName(QStringLiteral("GridN%1").arg(index));
    view->setAccessibleName(heading);
    view->setModel(&model_);
    for (int c = 0; c < records::kFieldCount; ++c) {
        view->setColumnHidden(c, c != index);
    }
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(index == 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);  // a long text is clipped, as in a grid

    // Every row has the same height and nothing measures rows one by one, so a list
    // of hundreds of thousands of records scrolls as fast as a short one.
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(view->fontMetrics().height() + 4);

    QHeaderView* columns = view->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    view->setColumnWidth(
        index, view->fontMetrics().horizontalAdvance(QString::fromLatin1(design.widthSample)));

    const platform::TwipScale twips(*this);
    view->setGeometry(twips.x(design.leftTwips), twips.y(layout_.gridTopTwips),
                      twips.x(design.widthTwips), twips.y(layout_.gridHeightTwips));
    return view;
}

void RecordListWindow::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption_);
}

void RecordListWindow::showProgress(qint64 count, const QString& suffix) {
    setWindowTitle(QString::number(count) + suffix);
}

void RecordListWindow::endProgress() {
    setWindowTitle(caption_);
}

QToolBar* RecordListWindow::createToolbar() {
    auto* bar = new QToolBar(client_);
    toolbar_ = bar;
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setAccessibleName(QStringLiteral("Toolbar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    const platform::TwipScale twips(*this);
    bar->setGeometry(0, 0, twips.x(kClientWidthTwips), twips.y(kToolbarHeightTwips));
    return bar;
}

QAction* RecordListWindow::addLnTool() {
    lnTool_ = toolbar_->addAction(toolbarIcon(QStringLiteral("Ln")), QStringLiteral("Ln"));
    lnTool_->setObjectName(QStringLiteral("Ln"));
    lnTool_->setToolTip(QStringLiteral("Percentile Sound Level"));
    connect(lnTool_, &QAction::triggered, this, [this] {
        if (chooser_) {
            chooser_->setVisible(!chooser_->isVisible());
            if (chooser_->isVisible()) {
                chooser_->raise();
            }
        }
    });
    lnTool_->setEnabled(false);
    return lnTool_;
}

void RecordListWindow::hideChooser() {
    if (chooser_) {
        chooser_->hide();
    }
}

void RecordListWindow::installResolutionChooser(QWidget* chooser) {
    chooser_ = chooser;
    chooser->setParent(client_);
    if (chooser->objectName().isEmpty()) {
        chooser->setObjectName(QStringLiteral("PicResolution"));
    }
    const platform::TwipScale twips(*this);
    chooser->setGeometry(twips.x(0), twips.y(layout_.gridTopTwips), twips.x(1935), twips.y(1695));
    chooser->hide();
    lnTool_->setEnabled(true);
}

QAction* RecordListWindow::addToolbarCopy(QAction* command, const QString& key,
                                          const QString& tip) {
    QAction* copy = toolbar_->addAction(toolbarIcon(key), command->text());
    copy->setObjectName(key);
    const QList<QKeySequence> keys = command->shortcuts();
    if (tip.isEmpty()) {
        copy->setToolTip(command->toolTip());
    } else {
        copy->setToolTip(
            keys.isEmpty() ? tip : tip + QStringLiteral(" (") + platform::keysText(keys) + u')');
    }
    connect(copy, &QAction::triggered, command, &QAction::trigger);
    return copy;
}

void RecordListWindow::setCloseCommand(QAction* action) {
    closeCommand_ = action;
    platform::setKeys(action, platform::closeKeys());
}

void RecordListWindow::setEscapeCloses(bool closes) {
    if (closeCommand_ == nullptr) {
        return;
    }
    QList<QKeySequence> keys = platform::closeKeys();
    if (!closes) {
        keys.removeAll(QKeySequence(Qt::Key_Escape));
    }
    closeCommand_->setShortcuts(keys);
}

void RecordListWindow::appendRecord(QStringView no, QStringView dateTime, QStringView level) {
    model_.append(no, dateTime, level);
}

void RecordListWindow::clearRecords() {
    model_.clear();
    recordGrid_.clear();
}

void RecordListWindow::showLastRecord() {
    const int last = model_.rowCount() - 1;
    if (last < 0) {
        return;
    }
    // The coupling makes it current in the other two grids as well.
    grids_[2]->selectionModel()->setCurrentIndex(
        model_.index(last, 2), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (QTableView* g : grids_) {
        g->scrollToBottom();
    }
}

void RecordListWindow::placeBeside(const QWidget* anchor) {
    if (anchor == nullptr) {
        return;
    }
    const QRect frame = anchor->frameGeometry();
    platform::placeWindow(this, QPoint(frame.x() + frame.width(), frame.y()));
}

}  // namespace lp::lists
