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
    f.SSPanel1 = captionPanel(window, QStringLiteral("SSPanel1"), QStringLiteral("MEMORY"));
    f.SSPanel2 = captionPanel(window, QStringLiteral("SSPanel2"), QStringLiteral("REMAINING"));
    f.SSPanel3 = captionPanel(window, QStringLiteral("SSPanel3"), QStringLiteral("NUMBERS OF REC"));
    f.SSPanel4 = captionPanel(window, QStringLiteral("SSPanel4"), QStringLiteral("NUMBERS OF SET"));
    f.LblMemorySize = valueLabel(window, QStringLiteral("LblMemorySize"), QStringLiteral("Memory"));
    f.LblRemaining =
        valueLabel(window, QStringLiteral("LblRemaining"), QStringLiteral("Remaining"));
    f.LblNoOfRec =
        valueLabel(window, QStringLiteral("LblNoOfRec"), QStringLiteral("Numbers of records"));
    f.LblNoOfSet =
        valueLabel(window, QStringLiteral("LblNoOfSet"), QStringLiteral("Numbers of sets"));

    f.CmdIdCode = button(window, QStringLiteral("CmdIdCode"), QStringLiteral("ID CODE"));
    f.TxtIdCode = textBox(window, QStringLiteral("TxtIdCode"), QStringLiteral("ID code"));
    f.CmdSampling = button(window, QStringLiteral("CmdSampling"), QStringLiteral("SAMPLING"));
    f.TxtSampling =
        textBox(window, QStringLiteral("TxtSampling"), QStringLiteral("Sampling interval"));
    f.CmdTime = button(window, QStringLiteral("CmdTime"), QStringLiteral("TIME OF METER"));
    f.LblTimeOfMeter =
        valueLabel(window, QStringLiteral("LblTimeOfMeter"), QStringLiteral("Time of meter"));

    f.CmdTimeOfRec =
        button(window, QStringLiteral("CmdTimeOfRec"), QStringLiteral("TIME OF RECORDING"));
    f.CmdShowData = button(window, QStringLiteral("CmdShowData"), QStringLiteral("SHOW DATA"));
    f.CmdCancel = button(window, QStringLiteral("CmdCancel"), QStringLiteral("Cancel"));
    f.CmdCancel->setFixedWidth(valueWidth(window));

    f.Grid = new SetGrid(window);
    f.Grid->setFixedWidth(f.Grid->designWidth());

    f.LblMessage = new QLabel(window);
    f.LblMessage->setObjectName(QStringLiteral("LblMessage"));
    f.LblMessage->setAccessibleName(QStringLiteral("Message"));
    f.LblMessage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f.LblMessage->setFixedHeight(platform::twipsToPx(kRowTwips));
    f.LblMessage->setIndent(platform::twipsToPx(90));

    // Hidden controls keep their place, so nothing moves when they appear.
    for (QWidget* w : {static_cast<QWidget*>(f.Grid), static_cast<QWidget*>(f.CmdCancel)}) {
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
    pair(f.SSPanel1, f.LblMemorySize);
    pair(f.SSPanel2, f.LblRemaining);
    pair(f.SSPanel4, f.LblNoOfSet);
    pair(f.SSPanel3, f.LblNoOfRec);
    grid->setRowMinimumHeight(row++, gap);
    pair(f.CmdIdCode, f.TxtIdCode);
    pair(f.CmdSampling, f.TxtSampling);
    pair(f.CmdTime, f.LblTimeOfMeter);
    grid->setRowMinimumHeight(row++, gap);
    pair(f.CmdTimeOfRec, nullptr);
    pair(f.CmdShowData, f.CmdCancel);
    grid->addWidget(f.Grid, 0, 2, row, 1);
    grid->addWidget(f.LblMessage, row, 0, 1, 3);
    return f;
}

}  // namespace lp::memory
