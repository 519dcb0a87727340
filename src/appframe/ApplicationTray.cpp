#include "appframe/ApplicationTray.h"

#include "appframe/ApplicationWindows.h"
#include "appframe/MinimiseWatcher.h"
#include "appframe/TrayIcon.h"
#include "platform/Cp1251.h"

ApplicationTray::ApplicationTray(QObject* parent) : QObject(parent) {
    events_ = new MinimiseWatcher(this);
    events_->setObjectName("minimiseWatcher");
    events_->OnMinimize = [this] { Park(); };
    events_->OnRestore = [this] { Unpark(); };
    icon_ = new TrayIcon(this);
    icon_->setObjectName("trayIcon");
    icon_->SetHint(platform::Utf8ToCp1251("Клиент системы \"ВЕКТА\""));
}

void ApplicationTray::Park() {
    // Without a notification area the program could not be brought back: it stays on
    // the task bar, minimised as any other program.
    if (!icon_->TrayAvailable())
        return;
    icon_->SetVisible(true);
    appframe::HideApplication();
}

void ApplicationTray::Unpark() {
    if (icon_->Visible())
        icon_->SetVisible(false);
}
