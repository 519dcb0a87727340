#pragma once

#include <QWidget>

#include <string>

// The animation window (a first form: the window with its caption).
class TAnimateForms : public QWidget {
    Q_OBJECT
public:
    explicit TAnimateForms(QWidget* parent = nullptr);

    // Takes the animation script of the task just shown (CP1251); the window is not shown.
    void LoadAnimation(const std::string& script);
};

extern TAnimateForms* AnimateForms;
