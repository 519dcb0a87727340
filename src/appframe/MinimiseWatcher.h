#pragma once

#include <QObject>

#include <functional>

// Events of the whole program, whichever window they happen in: the program being
// minimised or restored (any of its windows going to or coming back from the minimised
// state).
class MinimiseWatcher : public QObject {
    Q_OBJECT
public:
    explicit MinimiseWatcher(QObject* parent = nullptr);

    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
