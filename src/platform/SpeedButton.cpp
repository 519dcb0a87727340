#include "platform/SpeedButton.h"

#include <QString>
#include <QToolButton>

namespace platform {

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const char* utf8Caption,
                             QRect place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QString::fromUtf8(utf8Caption));
    button->setAutoRaise(true);
    button->setGeometry(place);
    return button;
}

} // namespace platform
