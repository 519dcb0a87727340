#include "app/WidgetMaking.h"

#include <QLabel>

QLabel* MakeLabel(QWidget* parent, const char* name, const char* utf8Text) {
    auto* label = new QLabel(QString::fromUtf8(utf8Text), parent);
    label->setObjectName(name);
    return label;
}
