#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// The login dialog. It lives for the whole run, so its fields keep what the user last
// typed. "Соединиться" asks its owner to log in with the name and password typed.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent = nullptr);

    QLabel* userLabel;
    QLineEdit* userField;
    QLabel* passwordLabel;
    QLineEdit* passwordField;
    QPushButton* connectButton;
    QPushButton* cancelButton;

signals:
    // The user and password as typed (CP1251), to be sent in LOGIN.
    void loginRequested(const std::string& user, const std::string& password);

private:
    void requestLogin();
};
