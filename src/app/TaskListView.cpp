#include "app/TaskListView.h"

#include "app/TaskLink.h"
#include "platform/QtText.h"

#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

TaskListView::TaskListView(QWidget* parent) : QScrollArea(parent) {
    setObjectName("taskListView");
    setWidgetResizable(true);
    sheets_ = new QTabWidget;
    sheets_->setObjectName("sheets");
    sheets_->setDocumentMode(true);
    auto sheet = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(name);
        sheets_->addTab(page, QString::fromUtf8(caption));
        return page;
    };
    sheetPages_[kSheetStatics] = sheet("staticsSheet", "Статика");
    sheetPages_[kSheetKinematics] = sheet("kinematicsSheet", "Кинематика");
    sheetPages_[kSheetDynamics] = sheet("dynamicsSheet", "Динамика");
    sheets_->setCurrentWidget(sheetPages_[kSheetDynamics]);
    connect(sheets_, &QTabWidget::currentChanged, this, &TaskListView::FitToSheet);
    setWidget(sheets_);
    hide();
}

TaskListView::~TaskListView() {
    for (TaskLink*& link : links_) {
        delete link;
        link = nullptr;
    }
}

QWidget* TaskListView::Sheet(int sheet) const {
    return sheetPages_.at(static_cast<std::size_t>(std::clamp(sheet, 0, 2)));
}

TaskLink* TaskListView::LinkAt(std::size_t index) {
    TaskLink*& link = links_[index];
    if (link == nullptr) {
        link = new TaskLink;
        link->setObjectName(QString("taskLink%1").arg(index));
        connect(link, &TaskLink::clicked, this,
                [this, link] { emit taskChosen(link->QuestName, link->QuestCaption); });
        QFont font(QString::fromUtf8("Comic Sans MS"));
        font.setPointSize(10);
        font.setUnderline(true);
        link->setFont(font);
        link->setCursor(Qt::PointingHandCursor);
    }
    return link;
}

void TaskListView::HideLinks() {
    for (TaskLink* link : links_) {
        if (link == nullptr)
            break;
        link->hide();
    }
}

void TaskListView::ShowList(const std::vector<QuestListEntry>& entries) {
    HideLinks();
    std::array<int, 3> nextTop = {20, 20, 20};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QuestListEntry& entry = entries[i];
        TaskLink* link = LinkAt(i);
        if (entry.sheetTagRecognised)
            link->setParent(Sheet(entry.sheet));
        int& top = nextTop[static_cast<std::size_t>(entry.sheet)];
        link->QuestName = entry.name;
        link->QuestCaption = entry.caption;
        link->setText(platform::ToQString(entry.LinkCaption()));
        link->adjustSize();
        link->move(10, top);
        top += link->height() + 2;
        // A link that never received a sheet has no parent and is never seen.
        if (link->parentWidget() != nullptr)
            link->show();
    }
    FitToSheet();
}

// The pane scrolls: the sheets are as tall as the links of the sheet shown.
void TaskListView::FitToSheet() {
    int lowest = 0;
    for (TaskLink* link : links_) {
        if (link == nullptr)
            break;
        if (!link->isHidden() && link->parentWidget() == sheets_->currentWidget())
            lowest = std::max(lowest, link->geometry().bottom());
    }
    const int margin = 20;
    sheets_->setMinimumHeight(
        lowest == 0 ? 0 : sheets_->tabBar()->sizeHint().height() + lowest + margin);
}

void TaskListView::Clear() {
    HideLinks();
    FitToSheet();
    hide();
}
