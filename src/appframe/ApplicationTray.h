#pragma once

#include <QObject>

class MinimiseWatcher;
class TrayIcon;

// The program parked in the notification area: minimising any of its windows hides them
// all and shows the icon, and the icon brings them back. Without a notification area the
// program is never hidden.
class ApplicationTray : public QObject {
    Q_OBJECT
public:
    explicit ApplicationTray(QObject* parent = nullptr);

    TrayIcon* Icon() const { return icon_; }

private:
    void Park();
    void Unpark();

    MinimiseWatcher* events_;
    TrayIcon* icon_;
};
