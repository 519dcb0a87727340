#pragma once

#include <QDialog>

// The help window (a first form: the window with its caption).
class THelpMenuPanel : public QDialog {
    Q_OBJECT
public:
    explicit THelpMenuPanel(QWidget* parent = nullptr);
};

extern THelpMenuPanel* HelpMenuPanel;
