#include "app/DraftKeeper.h"

#include "app/TaskView.h"

#include <QTimer>

DraftKeeper::DraftKeeper(TaskView* view, DraftStore store, QObject* parent)
    : QObject(parent), view_(view), store_(std::move(store)) {
    pause_ = new QTimer(this);
    pause_->setObjectName("draftPause");
    pause_->setSingleShot(true);
    pause_->setInterval(kTypingPauseMs);
    connect(pause_, &QTimer::timeout, this, &DraftKeeper::SaveNow);
    connect(view_, &TaskView::answersEdited, pause_, qOverload<>(&QTimer::start));
    // Sent or refused, what was typed is on disk before the answer leaves.
    connect(view_, &TaskView::resultReady, this, &DraftKeeper::SaveNow);
    connect(view_, &TaskView::sendRefused, this, &DraftKeeper::SaveNow);
}

void DraftKeeper::Open(const DraftKey& key) {
    pause_->stop();
    key_ = key;
    if (HasTask()) {
        view_->SetAnswerTexts(store_.Load(key_));
        view_->SetDrawingDraft(store_.LoadDrawing(key_));
    }
}

void DraftKeeper::SaveNow() {
    pause_->stop();
    if (!HasTask() || (view_->AnswerCount() == 0 && !view_->DrawingShown()))
        return;
    // A failed save keeps the last draft; the student's rows are still on the screen.
    lastError_ = store_.Save(key_, view_->AnswerTexts(), view_->DrawingDraft());
}

void DraftKeeper::Close() {
    SaveNow();
    key_ = {};
}
