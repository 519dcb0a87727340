#include "calculator/TrayIcon.h"

#include "calculator/ApplicationWindows.h"
#include "calculator/VektaIcon.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>

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

void TrayIcon::Minimize() {
    calculator::MinimizeApplication();
    calculator::HideApplication();
    if (OnMinimize)
        OnMinimize();
}

void TrayIcon::Restore() {
    calculator::RestoreApplication();
    if (OnRestore)
        OnRestore();
}

void TrayIcon::Update() {
    icon_.setIcon(ApplicationIcon());
}

void TrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    const bool repeated = reason == lastReason_ && lastActivation_.isValid() &&
                          lastActivation_.elapsed() < QApplication::doubleClickInterval();
    lastReason_ = reason;
    lastActivation_.start();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        Act(true, false, true, false);
        break;
    case QSystemTrayIcon::DoubleClick:
        Act(false, true, true, false);
        break;
    case QSystemTrayIcon::Context:
        Act(!repeated, repeated, false, true);
        break;
    case QSystemTrayIcon::MiddleClick:
        Act(!repeated, repeated, false, false);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
    if (repeated)
        lastActivation_.invalidate(); // a third click starts a new pair
}

bool TrayIcon::Matches(TrayMouseAction setting, bool click, bool doubleClick, bool left,
                       bool right) const {
    switch (setting) {
    case TrayMouseAction::Click:
    case TrayMouseAction::MouseDown:
    case TrayMouseAction::MouseUp:
        return click;
    case TrayMouseAction::DoubleClick:
        return doubleClick;
    case TrayMouseAction::LeftClickUp:
        return click && left;
    case TrayMouseAction::LeftDoubleClick:
        return doubleClick && left;
    case TrayMouseAction::RightClickUp:
        return click && right;
    case TrayMouseAction::RightDoubleClick:
        return doubleClick && right;
    case TrayMouseAction::None:
        break;
    }
    return false;
}

void TrayIcon::Act(bool click, bool doubleClick, bool left, bool right) {
    if (Matches(RestoreOn, click, doubleClick, left, right))
        Restore();
    if (PopupMenu != nullptr && Matches(PopupMenuOn, click, doubleClick, left, right))
        PopupMenu->popup(QCursor::pos());
    if (click && OnClick)
        OnClick();
    if (doubleClick && OnDblClick)
        OnDblClick();
}
