#include "appframe/TrayIcon.h"

#include "appframe/ApplicationWindows.h"
#include "appframe/VektaIcon.h"
#include "platform/QtText.h"

#include <QApplication>

namespace {

constexpr std::size_t kLongestHint = 63;

QIcon ApplicationIcon() {
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? VektaIcon() : icon;
}

} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent), TrayAvailable(&QSystemTrayIcon::isSystemTrayAvailable) {
    icon_.setIcon(ApplicationIcon());
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::Activated);
}

TrayIcon::~TrayIcon() {
    icon_.hide();
}

platform::Result<bool> TrayIcon::SetVisible(bool visible) {
    if (visible == visible_)
        return visible_;
    if (visible) {
        if (!TrayAvailable())
            return platform::Failure{"Cannot Create System Shell Notification Icon"};
        icon_.show();
    } else {
        icon_.hide();
    }
    visible_ = visible;
    Hide = visible;
    return visible_;
}

void TrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_ || hint.size() > kLongestHint)
        return;
    hint_ = hint;
    icon_.setToolTip(platform::ToQString(hint_));
}

void TrayIcon::Restore() {
    appframe::RestoreApplication();
}

void TrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    const bool repeated = reason == lastReason_ && lastActivation_.isValid() &&
                          lastActivation_.elapsed() < QApplication::doubleClickInterval();
    lastReason_ = reason;
    lastActivation_.start();
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        Restore();
        break;
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::MiddleClick:
        if (repeated)
            Restore();
        break;
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::Unknown:
        break;
    }
    if (repeated)
        lastActivation_.invalidate(); // a third click starts a new pair
}
