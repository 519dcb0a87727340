#pragma once

#include "judging/SubmissionOutcome.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
// Storing is where the disk is waited for: the submissions ready while one group is being
// committed form the next group, stored with their pace in one transaction (each on its
// own, so that one refused leaves the others), and each is answered only once its group
// is committed. No group waits for company, so a lone submission is stored at once. On
// an SQLite file one group is stored at a time (its writer lock would hold up any other);
// PostgreSQL stores a few at once.
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
    void Judge(const std::shared_ptr<Turn>& turn);
    void Store(const std::shared_ptr<Turn>& turn);
    // Stores the submissions waiting for the disk as one group, unless as many groups as
    // may are being stored; the next starts when one is done.
    void StoreGroup();
    void Finish(const std::shared_ptr<Turn>& turn);

    ServerWorkers& workers_;
    SubmissionLimits limits_;
    JudgeFunction judge_;
    // Submissions waiting per student and task; the front one is under way.
    std::map<std::string, std::deque<std::shared_ptr<Turn>>> queues_;
    std::vector<std::shared_ptr<Turn>> unstored_; // judged, waiting for the next group
    int storing_ = 0;                             // groups being stored
    int groups_ = 1;                              // at most this many at once
};
