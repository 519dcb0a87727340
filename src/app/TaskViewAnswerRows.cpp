// The task view's answer rows: a name field, an answer field and its reading line per
// answer the task asks for, made once and reused by later tasks.
#include "app/TaskView.h"

#include "answers/DeclaredNames.h"
#include "app/AnswerReadingLine.h"
#include "app/ResultPayload.h"
#include "app/TaskNavigation.h"
#include "eqedit/FormulaField.h"
#include "eqedit/FormulaFieldAccessible.h"
#include "protocol/ResultItems.h"
#include "tasklayout/AnswerRows.h"

#include "platform/QtText.h"
#include "protocol/QuestSections.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kNameFieldWidth = kMinNameWidth;

// The width a name field needs to show its whole label: the formula, the bevel on both sides
// and the caret's room after it.
int LabelFieldWidth(const FormulaField& field) {
    const eqedit::EditModel& model = field.Model();
    return model.EqWidth(model.Equation(), eqedit::stBaseline) + 2 * model.BevelWidth() +
           model.CaretWidth();
}

// The ";"-ended items of the UNITS section; a rest after the last ";" is ignored.
std::vector<std::string> UnitItems(const std::string& section) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t end; (end = section.find(';', start)) != std::string::npos; start = end + 1)
        items.push_back(section.substr(start, end - start));
    return items;
}

} // namespace

int TaskView::AnswerLabelWidth(const std::string& name) {
    FormulaField field;
    field.SetEquation(NameFieldText(name));
    return field.Model().EqWidth(field.Equation(), eqedit::stBaseline);
}

void TaskView::ReadRowUnits(const QuestSections& task) {
    rowUnits_ = UnitItems(task.units);
    unitsRequired_ = task.unitsRequired;
}

std::string TaskView::RowUnit(std::size_t row) const {
    return row < rowUnits_.size() ? rowUnits_[row] : std::string();
}

void TaskView::CreateAnswerRow(std::size_t row) {
    QWidget* content = widget();
    auto* name = new FormulaField(content);
    name->setObjectName(QString("nameField%1").arg(row));
    name->setGeometry(0, 0, kNameFieldWidth, name->height());
    name->setEnabled(false); // shows its formula, takes no input
    name->hide();
    auto* answer = new FormulaField(content);
    answer->setObjectName(QString("answerField%1").arg(row));
    answer->move(kNameFieldWidth + 10, 0);
    answer->hide();
    // No longer than the server reads: typing and pasting stop there.
    answer->SetMaxLength(kMaxPreparedAnswer);
    navigation_->Watch(answer);
    // Typing into a field out of sight brings it into view.
    answer->OnKeyDown = [this](FormulaField* sender, int&, Qt::KeyboardModifiers) {
        ensureWidgetVisible(sender);
        emit answersEdited();
    };
    nameFields_[row] = name;
    answerFields_[row] = answer;
    readingLines_[row] = new AnswerReadingLine(answer, content);
    readingLines_[row]->setObjectName(QString("readingLine%1").arg(row));
    readingLines_[row]->hide();
    readingLines_[row]->UnitLabel()->setObjectName(QString("unitLabel%1").arg(row));
}

void TaskView::CreateAnswerFields() {
    for (std::size_t row = 0; row < kMaxAnswerRows && nameFields_[row] != nullptr; ++row) {
        nameFields_[row]->hide();
        answerFields_[row]->hide();
        readingLines_[row]->hide();
        readingLines_[row]->UnitLabel()->hide();
    }
    answerCount_ = 0;
    for (const std::string& name : answerNames_) {
        const auto row = static_cast<std::size_t>(answerCount_);
        if (nameFields_[row] == nullptr)
            CreateAnswerRow(row);
        nameFields_[row]->SetEquation(NameFieldText(name));
        // The row is named for assistive technology as the name field shows it.
        answerFields_[row]->setAccessibleName(LinearFormulaText(name));
        answerFields_[row]->SetEquation(kEmptyAnswerText);
        readingLines_[row]->SetNames(
            {declaredNames_,
             {answerNames_.begin(), answerNames_.begin() + static_cast<std::ptrdiff_t>(row)},
             namesDeclared_,
             RowUnit(row)});
        // A bare number is read in the row's unit: the unit stands after the field, unless
        // the answer must give its own.
        readingLines_[row]->UnitLabel()->setText(
            unitsRequired_ ? QString() : platform::ToQString(RowUnit(row)));
        ++answerCount_;
    }
    // The name column is as wide as the widest label, so that no label loses its "=".
    std::vector<int> labelWidths;
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row)
        labelWidths.push_back(LabelFieldWidth(*nameFields_[row]));
    const int column = NameColumnWidth(labelWidths);
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row)
        nameFields_[row]->resize(column, nameFields_[row]->height());
    // Tab walks the answer fields in row order and then the button.
    QWidget* previous = nullptr;
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, answerFields_[row]);
        previous = answerFields_[row];
    }
    if (previous != nullptr)
        QWidget::setTabOrder(previous, sendButton_);
}

void TaskView::LayoutAnswerFields() {
    if (answerCount_ == 0)
        return;
    std::vector<int> heights;
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row)
        heights.push_back(answerFields_[row]->height());
    const int readingHeight = readingLines_[0]->LineHeight();
    const std::vector<RowPlace> places =
        LayoutAnswerRows(width(), statement_->geometry().bottom() + 1, nameFields_[0]->width(),
                         heights, readingHeight);
    for (std::size_t row = 0; row < places.size(); ++row) {
        const RowPlace& place = places[row];
        nameFields_[row]->move(place.nameLeft, place.top);
        // The unit after the field takes its room from the field.
        QLabel* unit = readingLines_[row]->UnitLabel();
        const int unitWidth =
            unit->text().isEmpty() ? 0 : unit->fontMetrics().horizontalAdvance(unit->text()) + 4;
        const int fieldWidth = std::max(place.answerWidth - unitWidth, 1);
        answerFields_[row]->setGeometry(place.answerLeft, place.top, fieldWidth,
                                        answerFields_[row]->height());
        unit->setGeometry(place.answerLeft + fieldWidth + 4, place.top, unitWidth,
                          answerFields_[row]->height());
        readingLines_[row]->setGeometry(place.answerLeft, place.readingTop, place.answerWidth,
                                        readingHeight);
    }
}

void TaskView::ShowAnswerFields() {
    for (std::size_t row = 0; row < static_cast<std::size_t>(answerCount_); ++row) {
        nameFields_[row]->show();
        answerFields_[row]->show();
        readingLines_[row]->show();
        readingLines_[row]->UnitLabel()->setVisible(
            !readingLines_[row]->UnitLabel()->text().isEmpty());
    }
}
