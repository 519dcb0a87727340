#include "appframe/VektaIcon.h"

QIcon VektaIcon() {
    return QIcon(QStringLiteral(":/vekta/vekta-client.svg"));
}
