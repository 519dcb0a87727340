#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The login dialog. It lives for the whole run, so its fields keep what the user last
// typed. "Соединиться" sends LOGIN over the main window's socket.
class TConnecterForm : public QDialog {
    Q_OBJECT
public:
    explicit TConnecterForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* MaskEdit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
};

extern TConnecterForm* ConnecterForm;
