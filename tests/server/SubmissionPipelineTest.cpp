// A submission's road on the server's workers: judging within its budget, one student's
// submissions to one task in order, other students never held up by a stuck judgement.

#include "SubmissionPipeline.h"
#include "Database.h"
#include "ServerWorkers.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(SubmissionPipelineTest, AStuckJudgementIsCutByItsBudgetAndHoldsUpNobodyElse) {
    QTemporaryDir dir;
    const std::string location = dir.filePath("pipeline.sqlite").toStdString();
    auto task = std::make_shared<BankTask>();
    task->name = "k1";
    std::atomic<bool> release{false};
    {
        ServerWorkers workers(location, "");
        SubmissionPipeline pipeline(workers, {1, 100, 100}, [&](const SubmissionRequest& request) {
            while (request.payload == "slow" && !release)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            SubmissionVerdict verdict;
            verdict.judged = true;
            answers::Judgement right;
            right.verdict = answers::Verdict::Right;
            verdict.answers.push_back({"a", request.payload, right});
            verdict.correctCount = 1;
            verdict.attemptCount = 1;
            return verdict;
        });
        std::vector<std::string> finished;
        std::vector<SubmissionOutcome::Status> statuses;
        auto submit = [&](const std::string& user, const std::string& payload) {
            pipeline.Submit({user, task, payload, {}, {}, {}},
                            [&, user, payload](const SubmissionOutcome& o) {
                                finished.push_back(user + ":" + payload);
                                statuses.push_back(o.status);
                            });
        };
        submit("Ivanov", "slow");
        submit("Ivanov", "fast"); // waits for the slow one of the same student and task
        submit("Petrov", "fast"); // does not
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 3; }, 10000));
        EXPECT_FALSE(release); // all three settled while the slow judgement was still stuck
        const auto at = [&](const std::string& name) {
            return std::find(finished.begin(), finished.end(), name) - finished.begin();
        };
        EXPECT_LT(at("Ivanov:slow"), at("Ivanov:fast"));
        EXPECT_EQ(statuses[at("Ivanov:slow")], SubmissionOutcome::Status::TooComplex);
        EXPECT_EQ(statuses[at("Ivanov:fast")], SubmissionOutcome::Status::Stored);
        EXPECT_EQ(statuses[at("Petrov:fast")], SubmissionOutcome::Status::Stored);
        release = true;
        QTest::qWait(100); // the late verdict comes back and is dropped
    }
    Database db(location);
    EXPECT_EQ(db.SubmissionCount(), 2);
    EXPECT_EQ(db.StoreSubmission({"Ivanov", "k1", "p", "", -1, 0, true, {}}), 2);
}
