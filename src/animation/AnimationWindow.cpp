#include "animation/AnimationWindow.h"

#include "animation/WindowGeometry.h"

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
    setObjectName("animationWindow");
    setWindowTitle(QString::fromUtf8("Анимация задачи:"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    buttonPanel = new QFrame(this);
    buttonPanel->setObjectName("buttonPanel");
    buttonPanel->setAutoFillBackground(true);
    animateButton =
        platform::MakeSpeedButton(buttonPanel, "animateButton", "Анимировать", {4, 4, 85, 33});
    closeButton = platform::MakeSpeedButton(buttonPanel, "closeButton", "Закрыть", {89, 4, 81, 33});
    frameTimer = new QTimer(this);
    frameTimer->setObjectName("frameTimer");
    frameTimer->setInterval(1);
    connect(animateButton, &QToolButton::clicked, this, &AnimationWindow::StartAnimation);
    connect(closeButton, &QToolButton::clicked, this, &AnimationWindow::CloseAnimation);
    connect(frameTimer, &QTimer::timeout, this, &AnimationWindow::NextFrame);
    FitToAnimation();
}

AnimationWindow::~AnimationWindow() = default;

void AnimationWindow::LoadAnimation(const std::string& script) {
    player_.LoadAnimation(script);
    FitToAnimation();
    if (isVisible())
        AfterFrame(player_.DrawFrame());
}

// The client area and the button panel for the window's outer size.
void AnimationWindow::FitToAnimation() {
    const animation::AnimationModel& model = player_.Model();
    const int width = animation::ClientWidth(model.Width);
    const int height = animation::ClientHeight(model.Height);
    setFixedSize(width, height);
    buttonPanel->setGeometry(0, height - animation::kPanelHeight, width, animation::kPanelHeight);
}

void AnimationWindow::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = frameGeometry();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
}

void AnimationWindow::ArrangeAndShowStill() {
    const int half = buttonPanel->width() / 2;
    animateButton->setFixedWidth(half);
    closeButton->move(half + 1, closeButton->y());
    closeButton->setFixedWidth(half - 3);
    AfterFrame(player_.ShowStill(platform::GetTickCount()));
}

void AnimationWindow::StartAnimation() {
    player_.StartRun(platform::GetTickCount());
    AfterFrame(platform::Done{});
}

void AnimationWindow::CloseAnimation() {
    player_.StopRun();
    frameTimer->stop();
    hide();
}

void AnimationWindow::NextFrame() {
    frameTimer->stop();
    AfterFrame(player_.TimerStep(platform::GetTickCount()));
}

void AnimationWindow::AfterFrame(const platform::Status& frame) {
    if (player_.Running())
        frameTimer->start();
    else
        frameTimer->stop();
    if (!frame)
        platform::ReportError(frame.Error().message);
}

void AnimationWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen();
    // The bitmap at the density of the screen the window opens on; the still picture
    // is drawn anew on it.
    bitmap_.SetPixelRatio(devicePixelRatio());
    ArrangeAndShowStill();
}

// The window shows the bitmap: the last frame that the player drew.
void AnimationWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, bitmap_.Image());
}

// Closing the window by the window system stops the run like "Закрыть".
void AnimationWindow::closeEvent(QCloseEvent* event) {
    player_.StopRun();
    frameTimer->stop();
    QWidget::closeEvent(event);
}
