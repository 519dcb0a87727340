#pragma once

#include <QWidget>

// The animation window (a first form: the window with its caption).
class TAnimateForms : public QWidget {
    Q_OBJECT
public:
    explicit TAnimateForms(QWidget* parent = nullptr);
};

extern TAnimateForms* AnimateForms;
