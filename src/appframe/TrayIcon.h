#pragma once

#include "platform/Result.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <string>

// An icon in the desktop's notification area that stands for the whole program: the
// program is parked there while it is minimised and comes back on a double click of any
// button on the icon. The icon is the application's own.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Adds the icon to the notification area or takes it away, and gives the icon's new
    // state. Where the desktop has no notification area, showing fails with "Cannot
    // Create System Shell Notification Icon" and changes nothing.
    bool Visible() const { return visible_; }
    platform::Result<bool> SetVisible(bool visible);

    // The tooltip (CP1251). A hint of 64 characters or more is ignored.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    bool Hide = true; // true while the icon is shown

    // Brings the parked windows back to the front.
    void Restore();

    // Whether the desktop has a notification area (replaceable for tests).
    std::function<bool()> TrayAvailable;

    // A mouse action on the icon as the notification area reports it. A second right or
    // middle click within the double-click time counts as a double click of that button.
    void Activated(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon icon_;
    bool visible_ = false;
    std::string hint_;
    QSystemTrayIcon::ActivationReason lastReason_ = QSystemTrayIcon::Unknown;
    QElapsedTimer lastActivation_;
};
