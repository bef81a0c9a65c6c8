#include "memory/memory_face.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "memory/set_grid.h"
#include "platform/twips.h"

namespace lp::memory {
namespace {

constexpr int kCaptionTwips = 2160;  // width of the caption panels and the buttons
constexpr int kValueTwips = 1650;    // least width of the values and text boxes
constexpr int kRowTwips = 390;       // height of one row of controls

// A raised panel with a caption, as the status values are labelled.
QLabel* captionPanel(QWidget* parent, const QString& name, const QString& caption) {
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setAccessibleName(caption);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAlignment(Qt::AlignCenter);
    QFont bold = panel->font();
    bold.setBold(true);
    panel->setFont(bold);
    panel->setFixedSize(platform::twipsToPx(kCaptionTwips), platform::twipsToPx(kRowTwips));
    return panel;
}

// The values are as wide as the widest of them, the meter clock ("03/15/09-----14:05:09").
int valueWidth(const QWidget* window) {
    const int clock =
        window->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00-----00:00:00"));
    return std::max(platform::twipsToPx(kValueTwips), clock + platform::twipsToPx(240));
}

// A sunken white field that shows a value.
QLabel* valueLabel(QWidget* parent, const QString& name, const QString& accessible) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setFixedSize(valueWidth(parent), platform::twipsToPx(kRowTwips));
    return label;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    b->setAutoDefault(false);
    b->setFixedSize(platform::twipsToPx(kCaptionTwips), platform::twipsToPx(kRowTwips));
    return b;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& accessible) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedSize(valueWidth(parent), platform::twipsToPx(kRowTwips));
    return box;
}

}  // namespace

MemoryFace buildMemoryFace(QWidget* window) {
    MemoryFace f;
    f.memoryCaption = captionPanel(window, QStringLiteral("SSPanel1"), QStringLiteral("MEMORY"));
    f.remainingCaption =
        captionPanel(window, QStringLiteral("SSPanel2"), QStringLiteral("REMAINING"));
    f.recordCountCaption =
        captionPanel(window, QStringLiteral("SSPanel3"), QStringLiteral("NUMBERS OF REC"));
    f.setCountCaption =
        captionPanel(window, QStringLiteral("SSPanel4"), QStringLiteral("NUMBERS OF SET"));
    f.memorySizeLabel =
        valueLabel(window, QStringLiteral("LblMemorySize"), QStringLiteral("Memory"));
    f.remainingLabel =
        valueLabel(window, QStringLiteral("LblRemaining"), QStringLiteral("Remaining"));
    f.recordCountLabel =
        valueLabel(window, QStringLiteral("LblNoOfRec"), QStringLiteral("Numbers of records"));
    f.setCountLabel =
        valueLabel(window, QStringLiteral("LblNoOfSet"), QStringLiteral("Numbers of sets"));

    f.idCodeButton = button(window, QStringLiteral("CmdIdCode"), QStringLiteral("ID CODE"));
    f.idCodeBox = textBox(window, QStringLiteral("TxtIdCode"), QStringLiteral("ID code"));
    f.samplingButton = button(window, QStringLiteral("CmdSampling"), QStringLiteral("SAMPLING"));
    f.samplingBox =
        textBox(window, QStringLiteral("TxtSampling"), QStringLiteral("Sampling interval"));
    f.meterClockButton = button(window, QStringLiteral("CmdTime"), QStringLiteral("TIME OF METER"));
    f.meterClockLabel =
        valueLabel(window, QStringLiteral("LblTimeOfMeter"), QStringLiteral("Time of meter"));

    f.setTableButton =
        button(window, QStringLiteral("CmdTimeOfRec"), QStringLiteral("TIME OF RECORDING"));
    f.showDataButton = button(window, QStringLiteral("CmdShowData"), QStringLiteral("SHOW DATA"));
    f.cancelButton = button(window, QStringLiteral("CmdCancel"), QStringLiteral("Cancel"));
    f.cancelButton->setFixedWidth(valueWidth(window));

    f.setGrid = new SetGrid(window);
    f.setGrid->setFixedWidth(f.setGrid->designWidth());

    f.messageLabel = new QLabel(window);
    f.messageLabel->setObjectName(QStringLiteral("LblMessage"));
    f.messageLabel->setAccessibleName(QStringLiteral("Message"));
    f.messageLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f.messageLabel->setFixedHeight(platform::twipsToPx(kRowTwips));
    f.messageLabel->setIndent(platform::twipsToPx(90));

    // Hidden controls keep their place, so nothing moves when they appear.
    for (QWidget* w : {static_cast<QWidget*>(f.setGrid), static_cast<QWidget*>(f.cancelButton)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }

    auto* grid = new QGridLayout(window);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    const int gap = platform::twipsToPx(90);
    grid->setContentsMargins(gap * 2, gap * 2, gap * 2, gap * 2);
    grid->setHorizontalSpacing(gap);
    grid->setVerticalSpacing(gap);
    int row = 0;
    auto pair = [&](QWidget* left, QWidget* right) {
        grid->addWidget(left, row, 0);
        if (right != nullptr) {
            grid->addWidget(right, row, 1, Qt::AlignLeft);
        }
        ++row;
    };
    pair(f.memoryCaption, f.memorySizeLabel);
    pair(f.remainingCaption, f.remainingLabel);
    pair(f.setCountCaption, f.setCountLabel);
    pair(f.recordCountCaption, f.recordCountLabel);
    grid->setRowMinimumHeight(row++, gap);
    pair(f.idCodeButton, f.idCodeBox);
    pair(f.samplingButton, f.samplingBox);
    pair(f.meterClockButton, f.meterClockLabel);
    grid->setRowMinimumHeight(row++, gap);
    pair(f.setTableButton, nullptr);
    pair(f.showDataButton, f.cancelButton);
    grid->addWidget(f.setGrid, 0, 2, row, 1);
    grid->addWidget(f.messageLabel, row, 0, 1, 3);
    return f;
}

}  // namespace lp::memory
