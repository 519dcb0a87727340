#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

// The program's one modal message box. ShowDialog takes CP1251 texts and returns when
// the user has closed the box. (A first form: a caption, the text and "OK"; the
// formula is shown as plain text.)
class TDiagForm : public QDialog {
    Q_OBJECT
public:
    explicit TDiagForm(QWidget* parent = nullptr);

    void ShowDialog(const std::string& caption, const std::string& text,
                    const std::string& formula);

    QLabel* Label1;
    QLabel* FormulaLabel;
    QPushButton* BitBtn1;
};

extern TDiagForm* DiagForm;
