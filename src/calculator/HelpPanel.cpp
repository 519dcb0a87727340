#include "calculator/HelpPanel.h"

THelpMenuPanel* HelpMenuPanel = nullptr;

THelpMenuPanel::THelpMenuPanel(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpMenuPanel");
    setWindowTitle(QString::fromUtf8("Помощь"));
    resize(570, 405);
}
