#include "app/LoginDialog.h"

#include "platform/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("loginDialog");
    setWindowTitle(QString::fromUtf8("Вход в систему:"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(272, 131);
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);

    auto label = [this](const char* name, const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(name);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto edit = [this](const char* name, const char* text, int y) {
        auto* e = new QLineEdit(QString::fromUtf8(text), this);
        e->setObjectName(name);
        e->setGeometry(128, y, 121, 21);
        return e;
    };
    userLabel = label("userLabel", "Имя пользователя:", 24, 24);
    userField = edit("userField", "Guest", 20);
    passwordLabel = label("passwordLabel", "Пароль:", 24, 52);
    passwordField = edit("passwordField", "wuzo", 49);
    passwordField->setEchoMode(QLineEdit::Password);

    connectButton = new QPushButton(QString::fromUtf8("Соединиться"), this);
    connectButton->setObjectName("connectButton");
    connectButton->setGeometry(24, 88, 105, 25);
    connectButton->setDefault(true);
    cancelButton = new QPushButton(QString::fromUtf8("Отмена"), this);
    cancelButton->setObjectName("cancelButton");
    cancelButton->setGeometry(136, 88, 113, 25);
    connect(connectButton, &QPushButton::clicked, this, &LoginDialog::requestLogin);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginDialog::requestLogin() {
    emit loginRequested(platform::ToCp1251(userField->text()),
                        platform::ToCp1251(passwordField->text()));
    accept();
}
