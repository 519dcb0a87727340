#pragma once

#include <QWidget>

// The calculator window (a first form: the window with its caption).
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};

extern TForm1* Form1;
