#pragma once

#include "protocol/QuestList.h"

#include <QScrollArea>

#include <array>
#include <string>
#include <vector>

class QTabWidget;
class TaskLink;

// The task list pane: three sheets (statics, kinematics, dynamics), each with the links
// of its tasks, numbered from 1 in the order the server sent them. The pane scrolls as
// far as the links of the sheet shown reach. A click on a link asks for that task.
class TaskListView : public QScrollArea {
    Q_OBJECT
public:
    explicit TaskListView(QWidget* parent = nullptr);
    ~TaskListView() override;

    // Shows the entries of a QUESTLIST message in place of the last list.
    void ShowList(const std::vector<QuestListEntry>& entries);
    // Hides every link and the pane.
    void Clear();

    // The links made so far, in list order; the rest are null.
    const std::array<TaskLink*, kMaxQuestLinks>& Links() const { return links_; }
    QTabWidget* Sheets() const { return sheets_; }
    QWidget* Sheet(int sheet) const;

signals:
    // The NAME and CAPTION of the task whose link was clicked (CP1251).
    void taskChosen(const std::string& name, const std::string& caption);

private:
    TaskLink* LinkAt(std::size_t index);
    void HideLinks();
    void FitToSheet();

    QTabWidget* sheets_;
    std::array<QWidget*, 3> sheetPages_{};
    // The links are made when first needed; a link that never received a sheet has no
    // parent and belongs to the list alone.
    std::array<TaskLink*, kMaxQuestLinks> links_{};
};
