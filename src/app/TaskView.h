#pragma once

#include "diagram/DrawingContext.h"
#include "protocol/QuestSections.h"
#include "tasklayout/AnswerRows.h"

#include <QImage>
#include <QScrollArea>

#include <array>
#include <string>
#include <vector>

class AnswerReadingLine;
class FormulaField;
class QLabel;
class QPushButton;
struct QuestTextLayout;
class TaskNavigation;

// The task pane: the greeting until the first task, then the task shown: its statement
// with the diagram under it, one row per requested answer (the answer's name and a
// formula field) and "Отправить результат". The decisions are made by the plain code of
// QuestTextLayout, QuestImage, AnswerRows and ResultPayload; here they become widgets and
// pictures.
class TaskView : public QScrollArea {
    Q_OBJECT
public:
    explicit TaskView(QWidget* parent = nullptr);

    // Sets up the task's statement, diagram and rows without showing the pane. Returns
    // the message of a diagram that could not be read (empty when it was): the student
    // still gets the statement and the rows. `caption` (CP1251) is the task-list entry's
    // caption drawn above the statement (empty: no caption line); the view is laid out
    // once, with it.
    std::string ShowTask(const QuestSections& task, const std::string& caption = {});
    // Empties the view: no rows, no statement, no picture; the pane is hidden.
    void Clear();
    // The pane has come up: it shows the top of the statement, and the first answer takes
    // the keyboard.
    void Reveal();
    // After a resize: the answer row that has the keyboard is brought whole into view.
    void KeepFocusedRowInView();
    // Counts the tasks set up and the clearings, so that a pending reveal can tell that
    // it is out of date.
    int Generation() const { return generation_; }

    // Lays the view out for the pane's size: the greeting centred, the statement wrapped,
    // the diagram, the rows and the button under it. A task already laid out at this
    // width and pixel ratio keeps its pictures.
    void Arrange();
    // The statement's picture at the pane's first size, before any task.
    void PrepareStatementImage();

    void HideGreeting();
    bool GreetingShown() const;
    // A task is shown and can be sent.
    bool TaskShown() const;
    // Enter in this widget sends the answers: an answer row or the button of a task shown.
    bool SendsOnEnter(const QWidget* focused) const;
    // Sends the answers as "Отправить результат" does.
    void Send();

    // Whether the server offers the student's history: "Мои ответы" shows under the rows
    // of a task only then.
    void OfferHistory(bool offered);
    const std::vector<std::string>& AnswerNames() const { return answerNames_; }

    // The menu's buttons, which Tab reaches after "Отправить результат" before it turns
    // back to the first row.
    void SetMenu(std::vector<QWidget*> menu);

    // The caption of the task-list entry the task was opened from, drawn above the
    // statement (CP1251; empty: no caption line).
    void SetCaption(const std::string& caption);
    // The texts of the answer rows shown, in row order; putting them back fills as many
    // rows as there are of both.
    std::vector<std::string> AnswerTexts() const;
    void SetAnswerTexts(const std::vector<std::string>& texts);
    // The student put earlier answers back into the rows: set as SetAnswerTexts does, and
    // told as typing is, so that the draft keeps them.
    void PutBackAnswers(const std::vector<std::string>& texts);

    int AnswerCount() const { return answerCount_; }
    FormulaField* AnswerField(int row) const;
    FormulaField* NameField(int row) const;
    AnswerReadingLine* ReadingLine(int row) const;
    // How wide, in pixels, a row's label (" name =", the name as REQUEST gives it) is drawn.
    static int AnswerLabelWidth(const std::string& name);

signals:
    // The answers are complete: the payload of SETRESULTQUEST.
    void resultReady(const std::string& payload);
    // An answer cannot be sent: the message and the formula that shows where (CP1251).
    void sendRefused(const std::string& message, const std::string& formula);
    // A key went to one of the answer fields: their texts may have changed.
    void answersEdited();
    // "Мои ответы" was pressed.
    void historyRequested();

protected:
    bool event(QEvent* event) override;

private:
    QSize PaneSize() const;
    void CentreGreeting();
    void FillStatementImage();
    int StatementImageWidth() const;
    void LayoutTask();
    void PlaceCaption(const std::string& caption);
    void LayoutQuestText();
    static void LiftToTheTop(QuestTextLayout& layout);
    std::string DrawQuestImage();
    std::string RedrawQuestImage();
    void CreateAnswerFields();
    void CreateAnswerRow(std::size_t row);
    void LayoutAnswerFields();
    void ShowAnswerFields();
    void PlaceSendButton();
    void ResizeContent();
    std::vector<QWidget*> TabRing() const;

    QLabel* caption_;
    QLabel* statement_;
    QLabel* greeting_;
    QPushButton* sendButton_;
    QPushButton* historyButton_;
    bool historyOffered_ = false;
    QLabel* bottomSpacer_;
    TaskNavigation* navigation_;

    // Drawn at the screen's device pixel ratio, so that text and lines are sharp.
    QImage statementImage_; // the statement is drawn here, statement_ shows it
    QImage diagramImage_;   // the task's diagram, diagramSize_ in drawing coordinates
    QSize diagramSize_;
    // The width and pixel ratio the task was last laid out at; a width of -1 when the
    // statement's picture has changed since.
    int laidOutWidth_ = -1;
    qreal laidOutRatio_ = 0;
    diagram::DrawingContext diagramContext_;

    // The sections of the task shown, and its answer rows. Rows that exist form an
    // unbroken run from row 0; the rows of an earlier task with more answers stay created
    // but hidden.
    std::string questText_;
    std::string imageScript_;
    std::vector<std::string> answerNames_;
    std::vector<std::string> declaredNames_; // of <VARIABLES>, for the reading lines
    bool namesDeclared_ = false;
    std::vector<std::string> rowUnits_; // of <UNITS>, one per row, empty for none
    bool unitsRequired_ = false;
    int answerCount_ = 0;
    std::array<FormulaField*, kMaxAnswerRows> nameFields_{};
    std::array<FormulaField*, kMaxAnswerRows> answerFields_{};
    std::array<AnswerReadingLine*, kMaxAnswerRows> readingLines_{};
    // The rows' units from the task's QUEST, and one row's (empty for none).
    void ReadRowUnits(const QuestSections& task);
    std::string RowUnit(std::size_t row) const;
    int generation_ = 0;
};
