#include "app/HistoryWindow.h"

#include "app/AnswerReading.h"
#include "platform/QtText.h"
#include "protocol/ResultItems.h"
#include "tasklayout/AnswerRows.h"

#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// When a submission came, in the student's own time; the server's text when it is no
// time the client can read.
QString LocalTimeText(const std::string& utc) {
    QDateTime when = QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODateWithMs);
    if (!when.isValid())
        when = QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate);
    if (!when.isValid())
        return platform::ToQString(utc);
    return when.toLocalTime().toString("dd.MM.yyyy HH:mm:ss");
}

// A formula as the reading line shows it; its own text when it does not read.
QString Reading(const std::string& cp1251) {
    const AnswerReading reading = ReadAnswerRow(cp1251, RowNames{});
    if (reading.kind == AnswerReading::Kind::Blank)
        return QString::fromUtf8("—");
    if (reading.kind == AnswerReading::Kind::Read || !reading.line.empty())
        return QString::fromStdString(reading.line);
    return platform::ToQString(cp1251);
}

} // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("historyWindow");
    setWindowTitle(QString::fromUtf8("Мои ответы"));
    caption_ =
        new QLabel(QString::fromUtf8("Щелчок по ответу возвращает его в поля задания."), this);
    caption_->setObjectName("historyCaption");
    submissionList_ = new QListWidget(this);
    submissionList_->setObjectName("submissionList");
    submissionList_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(submissionList_);
    resize(420, 360);
    connect(submissionList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int index = submissionList_->row(item);
        if (AnswersAt(index))
            emit submissionChosen(index);
    });
}

void HistoryWindow::ShowHistory(const HistoryMessage& history,
                                const std::vector<std::string>& names) {
    submissionList_->clear();
    answers_.clear();
    drawings_.clear();
    for (const HistoryEntry& entry : history.entries) {
        QString text = LocalTimeText(entry.time);
        if (!entry.score.empty())
            text += QString::fromUtf8(" — ") + platform::ToQString(entry.score);
        std::vector<std::string> rows;
        const std::vector<std::optional<std::string>> answers = ReadAnswers(entry.answers, names);
        for (std::size_t row = 0; row < names.size(); ++row) {
            const std::string answer =
                row < answers.size() ? answers[row].value_or(std::string()) : std::string();
            text += "\n    " + Reading(names[row]) + " = " + Reading(answer);
            // Back in a row, the answer is followed by what ends a fresh field's text.
            rows.push_back(answer + kEmptyAnswerText);
        }
        std::vector<drawing::DrawnObject> drawn;
        if (const auto entries = ReadDrawingEntries(entry.answers, names)) {
            drawn = drawing::ReadDrawnEntries(*entries).objects;
            text += QString::fromUtf8("\n    рисунок: сил и моментов %1").arg(drawn.size());
        }
        if (!entry.verdicts.empty())
            text += "\n    " + platform::ToQString(entry.verdicts);
        submissionList_->addItem(text);
        answers_.push_back(std::move(rows));
        drawings_.push_back(std::move(drawn));
    }
    if (history.entries.empty()) {
        submissionList_->addItem(QString::fromUtf8("Ответов по этому заданию ещё нет."));
        submissionList_->item(0)->setFlags(Qt::NoItemFlags);
    }
    submissionList_->scrollToBottom();
}

std::vector<drawing::DrawnObject> HistoryWindow::DrawingAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= drawings_.size())
        return {};
    return drawings_[static_cast<std::size_t>(index)];
}

std::optional<std::vector<std::string>> HistoryWindow::AnswersAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= answers_.size())
        return std::nullopt;
    return answers_[static_cast<std::size_t>(index)];
}
