#pragma once

#include <QLabel>

#include <string>

// A task link of the task list: a label that remembers the NAME of the task it stands
// for. Font, cursor, position and click handler are set by the main window.
class TaskLink : public QLabel {
    Q_OBJECT
public:
    explicit TaskLink(QWidget* parent = nullptr);

    std::string QuestName;    // CP1251, sent back to the server byte for byte
    std::string QuestCaption; // CP1251, what the list calls the task

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
