#include "storage/SubmissionPipeline.h"

#include "platform/Cp1251.h"
#include "storage/Database.h"
#include "storage/ServerWorkers.h"

#include <QDateTime>
#include <QTimer>

#include <chrono>
#include <map>

struct SubmissionPipeline::Turn {
    std::string key;
    SubmissionRequest request;
    Done done;
    SubmissionOutcome outcome;
    long long arrivedMs = 0; // wall-clock time it was paced at
    bool judged = false;     // the judgement or its budget has settled the verdict
};

namespace {

SubmissionOutcome::Status StoreFailure(const std::exception& error) {
    const auto* store = dynamic_cast<const StoreError*>(&error);
    return store != nullptr && store->Unavailable() ? SubmissionOutcome::Status::Unavailable
                                                    : SubmissionOutcome::Status::NotStored;
}

} // namespace

SubmissionPipeline::SubmissionPipeline(ServerWorkers& workers, SubmissionLimits limits,
                                       JudgeFunction judge)
    : workers_(workers), limits_(limits), judge_(std::move(judge)),
      groups_(workers.ConcurrentWrites() ? 3 : 1) {
    // The answer judge stops at the budget by itself, so that a heavy answer frees its
    // judge thread as soon as its time is spent.
    if (!judge_)
        judge_ = [budgetMs = limits_.judgeBudgetMs](const SubmissionRequest& request) {
            AnswerJudge judge(answers::Deadline::After(std::chrono::milliseconds(budgetMs)));
            return JudgeRequest(request, judge);
        };
}

void SubmissionPipeline::Submit(const SubmissionRequest& request, Done done) {
    std::string key = request.user + '\n' + request.task->name;
    auto turn = std::make_shared<Turn>(Turn{key, request, std::move(done), {}, 0, false});
    std::deque<std::shared_ptr<Turn>>& queue = queues_[key];
    queue.push_back(turn);
    if (queue.size() == 1)
        Start(key);
}

void SubmissionPipeline::Start(const std::string& key) {
    Pace(queues_.at(key).front());
}

// Reads the student's pace, attempts and extra time from the store (there, so that they
// hold across server processes) in one statement, and lets the submission be judged, or
// stores it unjudged when the test window is closed for the student or no attempt is left.
// The pace is only read here: the submission is counted against it when it is stored, in
// the same commit.
void SubmissionPipeline::Pace(const std::shared_ptr<Turn>& turn) {
    const long long intervalMs = limits_.intervalMs;
    const int burst = limits_.burst;
    workers_.RunStore([this, turn, intervalMs, burst](Database& database) {
        const SubmissionRequest& request = turn->request;
        turn->arrivedMs = QDateTime::currentMSecsSinceEpoch();
        Database::Admission admission;
        try {
            admission = database.ReadAdmission(request.user, request.task->name, turn->arrivedMs,
                                               intervalMs, burst);
        } catch (const std::exception& error) {
            turn->outcome.status = StoreFailure(error);
            turn->outcome.problem = error.what();
            return ServerWorkers::Continuation([this, turn] { Finish(turn); });
        }
        if (admission.waitMs > 0) {
            turn->outcome.status = SubmissionOutcome::Status::Paced;
            turn->outcome.waitMs = admission.waitMs;
            return ServerWorkers::Continuation([this, turn] { Finish(turn); });
        }
        std::vector<Attempt> attempts;
        for (const double credited : admission.attempts)
            attempts.push_back({credited});
        turn->outcome = ::Admit(request, attempts, admission.extensionMinutes, CurrentLocalTime());
        if (!turn->outcome.notJudged.empty())
            return ServerWorkers::Continuation([this, turn] { Store(turn); });
        return ServerWorkers::Continuation([this, turn] { Judge(turn); });
    });
}

// The judgement runs on a judge thread; its budget is kept here too, from the moment a
// thread takes it, for a judge that does not stop by itself. Whichever settles first
// (verdict or budget) decides; a judgement that comes too late, or that stopped at its
// deadline, is answered as too complex and not stored.
void SubmissionPipeline::Judge(const std::shared_ptr<Turn>& turn) {
    const int budgetMs = limits_.judgeBudgetMs;
    auto started = [this, turn, budgetMs] {
        QTimer::singleShot(budgetMs, &workers_, [this, turn] {
            if (turn->judged)
                return;
            turn->judged = true;
            turn->outcome.status = SubmissionOutcome::Status::TooComplex;
            Finish(turn);
        });
    };
    workers_.RunJudge(
        [this, turn, judge = judge_] {
            SubmissionVerdict verdict = judge(turn->request);
            return ServerWorkers::Continuation([this, turn, verdict = std::move(verdict)] {
                if (turn->judged)
                    return;
                turn->judged = true;
                if (verdict.outOfTime) {
                    turn->outcome.status = SubmissionOutcome::Status::TooComplex;
                    Finish(turn);
                    return;
                }
                turn->outcome.verdict = verdict;
                Store(turn);
            });
        },
        started);
}

void SubmissionPipeline::Store(const std::shared_ptr<Turn>& turn) {
    unstored_.push_back(turn);
    StoreGroup();
}

void SubmissionPipeline::StoreGroup() {
    if (storing_ >= groups_ || unstored_.empty())
        return;
    ++storing_;
    std::vector<std::shared_ptr<Turn>> group = std::exchange(unstored_, {});
    std::vector<Database::GroupedSubmission> submissions;
    submissions.reserve(group.size());
    for (const std::shared_ptr<Turn>& turn : group) {
        Database::GroupedSubmission submission;
        submission.record = RecordOf(turn->request, turn->outcome);
        submission.maxAttempts = turn->request.rules.maxAttempts;
        // Another submission (perhaps through another server process) may take the last
        // attempt after this one was admitted: this one is then stored as the ones that
        // come after the last attempt are.
        SubmissionOutcome refused = turn->outcome;
        refused.verdict = {};
        refused.notJudged = kNoAttemptsLeft;
        submission.noAttemptLeft = RecordOf(turn->request, refused);
        submission.nowMs = turn->arrivedMs;
        submission.intervalMs = limits_.intervalMs;
        submission.burst = limits_.burst;
        submissions.push_back(std::move(submission));
    }
    workers_.RunStore(
        [this, group = std::move(group), submissions = std::move(submissions)](Database& database) {
            std::vector<Database::GroupedOutcome> stored;
            try {
                stored = database.StoreSubmissions(submissions);
            } catch (const std::exception& error) {
                // Nothing of the group was committed: each is answered so.
                for (const std::shared_ptr<Turn>& turn : group) {
                    turn->outcome.status = StoreFailure(error);
                    turn->outcome.problem = error.what();
                }
            }
            for (std::size_t k = 0; k < stored.size(); ++k) {
                SubmissionOutcome& outcome = group[k]->outcome;
                switch (stored[k].status) {
                case Database::GroupedOutcome::Status::NoAttemptLeft:
                    outcome.verdict = {};
                    outcome.notJudged = kNoAttemptsLeft;
                    [[fallthrough]];
                case Database::GroupedOutcome::Status::Stored:
                    outcome.attempt = stored[k].attempt;
                    outcome.status = SubmissionOutcome::Status::Stored;
                    break;
                case Database::GroupedOutcome::Status::Paced:
                    // Another submission of the student's was counted first.
                    outcome.status = SubmissionOutcome::Status::Paced;
                    outcome.waitMs = stored[k].waitMs;
                    break;
                case Database::GroupedOutcome::Status::Failed:
                    outcome.status = SubmissionOutcome::Status::NotStored;
                    outcome.problem = stored[k].problem;
                    break;
                }
            }
            return ServerWorkers::Continuation([this, group] {
                --storing_;
                for (const std::shared_ptr<Turn>& turn : group)
                    Finish(turn);
                StoreGroup();
            });
        });
}

// Gives the outcome to whoever waits for it and lets the next submission of the same
// student and task go.
void SubmissionPipeline::Finish(const std::shared_ptr<Turn>& turn) {
    turn->done(turn->outcome);
    const auto found = queues_.find(turn->key);
    found->second.pop_front();
    if (found->second.empty())
        queues_.erase(found);
    else
        Start(turn->key);
}
