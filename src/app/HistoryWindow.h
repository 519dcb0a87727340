#pragma once

#include "drawing/DrawnAnswer.h"
#include "protocol/Messages.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

// "Мои ответы": the student's earlier submissions at the task shown, oldest first, each
// with when it came, its credit, every row's answer as the reading line reads it and the
// verdicts, as far as the server tells them, and how many objects its drawing held. One
// click on a submission puts its answers back into the rows, and its drawing on the
// picture.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget* parent = nullptr);

    // Shows the submissions of a task whose answer rows are named `names` (as REQUEST
    // gives them, CP1251).
    void ShowHistory(const HistoryMessage& history, const std::vector<std::string>& names);
    // The answers of the submission listed at `index` as the answer rows hold them, one
    // per row (a fresh row's text for a row it did not answer); nothing for an index that
    // lists none.
    std::optional<std::vector<std::string>> AnswersAt(int index) const;
    // The drawing of the submission listed at `index`: none when it sent none.
    std::vector<drawing::DrawnObject> DrawingAt(int index) const;

signals:
    // The student chose the submission at `index` to put back into the rows.
    void submissionChosen(int index);

private:
    QLabel* caption_;
    QListWidget* submissionList_;
    std::vector<std::vector<std::string>> answers_;           // per submission listed, per row
    std::vector<std::vector<drawing::DrawnObject>> drawings_; // per submission listed
};
