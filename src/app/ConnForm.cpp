#include "app/ConnForm.h"

#include "app/Frames.h"
#include "app/HeadForm.h"
#include "platform/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

TConnecterForm* ConnecterForm = nullptr;

TConnecterForm::TConnecterForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ConnecterForm");
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
    Label1 = label("Label1", "Имя пользователя:", 24, 24);
    Edit1 = edit("Edit1", "Guest", 20);
    Label2 = label("Label2", "Пароль:", 24, 52);
    MaskEdit1 = edit("MaskEdit1", "wuzo", 49);
    MaskEdit1->setEchoMode(QLineEdit::Password);

    BitBtn1 = new QPushButton(QString::fromUtf8("Соединиться"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(24, 88, 105, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QString::fromUtf8("Отмена"), this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(136, 88, 113, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TConnecterForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TConnecterForm::BitBtn2Click);
}

void TConnecterForm::BitBtn1Click() {
    QThread::msleep(100);
    const std::string user = platform::ToCp1251(Edit1->text());
    const std::string payload = user + ";" + platform::ToCp1251(MaskEdit1->text());
    if (ClientVantor != nullptr) {
        ClientVantor->SendFrame(BuildFrame("LOGIN", payload));
        ClientVantor->LoginSent(user);
    }
    accept();
}

void TConnecterForm::BitBtn2Click() {
    reject();
}
