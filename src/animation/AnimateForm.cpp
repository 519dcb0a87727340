#include "animation/AnimateForm.h"

TAnimateForms* AnimateForms = nullptr;

TAnimateForms::TAnimateForms(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("AnimateForms");
    setWindowTitle(QString::fromUtf8("Анимация задачи:"));
    resize(513, 246);
}

void TAnimateForms::LoadAnimation(const std::string&) {}
