#pragma once

#include "platform/Result.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <string>

class QMenu;

// The mouse actions on the icon that can restore the program or show the popup menu.
enum class TrayMouseAction {
    Click,
    DoubleClick,
    MouseDown,
    MouseUp,
    LeftClickUp,
    LeftDoubleClick,
    RightClickUp,
    RightDoubleClick,
    None
};

// An icon in the desktop's notification area that stands for the whole program: the
// program is parked there while it is minimised and comes back by a mouse action on the
// icon. The icon is the application's own.
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
    TrayMouseAction RestoreOn = TrayMouseAction::DoubleClick;
    TrayMouseAction PopupMenuOn = TrayMouseAction::None;
    QMenu* PopupMenu = nullptr;

    // Minimize parks the program: its windows are minimised and leave the task bar.
    // Restore brings them back to the front.
    void Minimize();
    void Restore();
    // Takes the application's icon again.
    void Update();

    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // Whether the desktop has a notification area (replaceable for tests).
    std::function<bool()> TrayAvailable;

    // A mouse action on the icon as the notification area reports it. A second right or
    // middle click within the double-click time counts as a double click of that button.
    void Activated(QSystemTrayIcon::ActivationReason reason);

private:
    // What a mouse action asks for: restoring, the popup menu, both or neither.
    void Act(bool click, bool doubleClick, bool left, bool right);
    bool Matches(TrayMouseAction setting, bool click, bool doubleClick, bool left,
                 bool right) const;

    QSystemTrayIcon icon_;
    bool visible_ = false;
    std::string hint_;
    QSystemTrayIcon::ActivationReason lastReason_ = QSystemTrayIcon::Unknown;
    QElapsedTimer lastActivation_;
};
