// What assistive technology reads from a value display: the control keeps its fixed
// accessible name ("Level", "MAX") and exposes the value it shows as its accessible
// description ("65.3 dB"), updated whenever the shown value changes.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace lp::platform {

// Sets the spoken value of `widget`; Qt tells assistive technology when it changes.
inline void setAccessibleValue(QWidget* widget, const QString& spoken) {
    if (widget->accessibleDescription() != spoken) {
        widget->setAccessibleDescription(spoken);
    }
}

// Shows `text` on `label` and exposes it (or `spoken`, when given) as the label's value.
inline void showValue(QLabel* label, const QString& text, const QString& spoken = {}) {
    label->setText(text);
    setAccessibleValue(label, spoken.isEmpty() ? text : spoken);
}

}  // namespace lp::platform
