#include "dialogs/DialogPanel.h"

#include "platform/QtText.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TDiagForm* DiagForm = nullptr;

TDiagForm::TDiagForm(QWidget* parent) : QDialog(parent) {
    setObjectName("DiagForm");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    FormulaLabel = new QLabel(this);
    FormulaLabel->setObjectName("EqEdit1");
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(FormulaLabel);
    layout->addWidget(BitBtn1);
}

void TDiagForm::ShowDialog(const std::string& caption, const std::string& text,
                           const std::string& formula) {
    setWindowTitle(platform::ToQString(caption));
    Label1->setText(platform::ToQString(text));
    FormulaLabel->setText(platform::ToQString(formula));
    FormulaLabel->setVisible(!formula.empty());
    exec();
}
