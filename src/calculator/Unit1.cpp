#include "calculator/Unit1.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("Калькулятор"));
    resize(367, 206);
}
