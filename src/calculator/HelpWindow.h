#pragma once

#include <QDialog>

class QPushButton;
class QTabWidget;

// The help window: three pages on typing formulas (Greek letters, upper and lower
// positions, case, function arguments and powers), with example formulas in disabled
// formula editors that only show them. Shown modally; "OK" closes it.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help beside `beside` (when given and there is room on its screen) without
    // blocking any other window: the student keeps it open while typing answers.
    void Open(const QWidget* beside = nullptr);

    QTabWidget* pageTabs;
    QPushButton* okButton;

private:
    void PlaceKeyOverGap();
};
