#pragma once

#include "animation/AnimationBitmap.h"
#include "animation/AnimationPlayer.h"

#include <QWidget>

#include <string>

class QFrame;
class QTimer;
class QToolButton;

// The animation window: shows the still picture of the loaded animation when it opens,
// runs it on "Анимировать" and hides on "Закрыть". Everything it decides is the player's;
// the window turns button clicks and timer ticks into calls on it and shows its bitmap.
class AnimationWindow : public QWidget {
    Q_OBJECT
public:
    explicit AnimationWindow(QWidget* parent = nullptr);
    ~AnimationWindow() override;

    // Loads a task's animation script (CP1251) and sizes the window to it; does not show
    // the window and does not stop a run. Loading never fails: what the script cannot say
    // is drawn as far as it goes, and an error of a frame drawn here (the window is open)
    // goes to the application's report as every frame's does.
    void LoadAnimation(const std::string& script);

    QFrame* buttonPanel;
    QToolButton* animateButton;
    QToolButton* closeButton;
    QTimer* frameTimer;

    const QImage& Bitmap() const { return bitmap_.Image(); }
    const animation::AnimationPlayer& Player() const { return player_; }

    void ArrangeAndShowStill();
    void StartAnimation();
    void CloseAnimation();
    void NextFrame();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FitToAnimation();
    void CentreOnScreen();
    // frameTimer runs exactly while the player runs; an error of the frame goes to the report.
    void AfterFrame(const platform::Status& frame);

    animation::AnimationBitmap bitmap_;
    animation::AnimationPlayer player_;
};
