#pragma once

#include <QObject>

#include <functional>
#include <string>

// Events of the whole program, whichever window they happen in: an error that no
// handler caught, and the program being minimised or restored (any of its windows
// going to or coming back from the minimised state). Only one instance is meant to
// exist; it is the application-wide error report while it lives.
class TApplicationEvents : public QObject {
    Q_OBJECT
public:
    explicit TApplicationEvents(QObject* parent = nullptr);
    ~TApplicationEvents() override;

    std::function<void(const std::string& cp1251Message)> OnException;
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
