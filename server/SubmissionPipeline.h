#pragma once

#include "SubmissionOutcome.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

class Database;
class ServerWorkers;

struct SubmissionLimits {
    long long intervalMs = 3000; // one submission per interval per student ...
    int burst = 5;               // ... after a first burst of this many
    int judgeBudgetMs = 2000;    // judging longer is answered as too complex
};

// A submission's road on the workers: paced (in the database, so that the pace holds
// across server processes), admitted (inside the test window, an attempt left), judged
// within its time budget, stored. The outcome comes
// back on the event loop's thread. One student's submissions to one task go one at a
// time, in the order they came, so their attempt numbers follow that order.
class SubmissionPipeline {
public:
    using Done = std::function<void(const SubmissionOutcome&)>;
    // Judges on a judge thread; by default the answer judge, with a judge of its own.
    using JudgeFunction = std::function<SubmissionVerdict(const SubmissionRequest&)>;

    SubmissionPipeline(ServerWorkers& workers, SubmissionLimits limits, JudgeFunction judge = {});

    void Submit(const SubmissionRequest& request, Done done);

private:
    struct Turn;
    void Start(const std::string& key);
    void Pace(const std::shared_ptr<Turn>& turn);
    std::function<void()> Admit(const std::shared_ptr<Turn>& turn, Database& database);
    void Judge(const std::shared_ptr<Turn>& turn);
    void Store(const std::shared_ptr<Turn>& turn);
    void Finish(const std::shared_ptr<Turn>& turn);

    ServerWorkers& workers_;
    SubmissionLimits limits_;
    JudgeFunction judge_;
    // Submissions waiting per student and task; the front one is under way.
    std::map<std::string, std::deque<std::shared_ptr<Turn>>> queues_;
};
