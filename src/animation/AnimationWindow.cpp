#include "animation/AnimationWindow.h"

#include "animation/WindowGeometry.h"

#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/SpeedButton.h"
#include "platform/TickCount.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

AnimationWindow::AnimationWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      bitmap_([this] { update(); }), player_(bitmap_) {
    setObjectName("AnimateForms");
    setWindowTitle(QString::fromUtf8("Анимация задачи:"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setAutoFillBackground(true);
    SpeedButton1 = platform::MakeSpeedButton(Panel1, "SpeedButton1", "Анимировать", {4, 4, 85, 33});
    SpeedButton2 = platform::MakeSpeedButton(Panel1, "SpeedButton2", "Закрыть", {89, 4, 81, 33});
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1);
    connect(SpeedButton1, &QToolButton::clicked, this, &AnimationWindow::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &AnimationWindow::SpeedButton2Click);
    connect(Timer1, &QTimer::timeout, this, &AnimationWindow::Timer1Timer);
    FitToAnimation();
}

AnimationWindow::~AnimationWindow() = default;

std::string AnimationWindow::LoadAnimation(const std::string& script) {
    try {
        player_.LoadAnimation(script);
    } catch (const platform::Error& error) {
        return error.what();
    }
    FitToAnimation();
    if (isVisible())
        AfterFrame(player_.DrawFrame());
    return {};
}

// The client area and the button panel for the window's outer size.
void AnimationWindow::FitToAnimation() {
    const animation::AnimationModel& model = player_.Model();
    const int width = animation::ClientWidth(model.Width);
    const int height = animation::ClientHeight(model.Height);
    setFixedSize(width, height);
    Panel1->setGeometry(0, height - animation::kPanelHeight, width, animation::kPanelHeight);
}

void AnimationWindow::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = frameGeometry();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
}

void AnimationWindow::FormShow() {
    const int half = Panel1->width() / 2;
    SpeedButton1->setFixedWidth(half);
    SpeedButton2->move(half + 1, SpeedButton2->y());
    SpeedButton2->setFixedWidth(half - 3);
    AfterFrame(player_.ShowStill(platform::GetTickCount()));
}

void AnimationWindow::SpeedButton1Click() {
    player_.StartRun(platform::GetTickCount());
    AfterFrame({});
}

void AnimationWindow::SpeedButton2Click() {
    player_.StopRun();
    Timer1->stop();
    hide();
}

void AnimationWindow::Timer1Timer() {
    Timer1->stop();
    AfterFrame(player_.TimerStep(platform::GetTickCount()));
}

void AnimationWindow::AfterFrame(const std::string& error) {
    if (player_.Running())
        Timer1->start();
    else
        Timer1->stop();
    if (!error.empty())
        platform::ReportError(error);
}

void AnimationWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen();
    // The bitmap at the density of the screen the window opens on; the still picture
    // is drawn anew on it.
    bitmap_.SetPixelRatio(devicePixelRatio());
    FormShow();
}

// The window shows the bitmap: the last frame that the player drew.
void AnimationWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, bitmap_.Image());
}

// Closing the window by the window system stops the run like "Закрыть".
void AnimationWindow::closeEvent(QCloseEvent* event) {
    player_.StopRun();
    Timer1->stop();
    QWidget::closeEvent(event);
}
