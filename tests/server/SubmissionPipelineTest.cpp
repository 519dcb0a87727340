// A submission's road on the server's workers: judging within its budget, one student's
// submissions to one task in order, other students never held up by a stuck judgement.

#include "storage/SubmissionPipeline.h"
#include "storage/Database.h"
#include "storage/ServerWorkers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
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
            verdict.answers.push_back({"a", request.payload, right, false, {}, 1});
            verdict.correctCount = 1;
            verdict.credited = 1;
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

    // Students submitting at once are stored in groups: one whose row the database refuses
    // is answered as not stored, and the others of its group are stored and answered.
    {
        QSqlDatabase refuse = QSqlDatabase::addDatabase("QSQLITE", "refuse");
        refuse.setDatabaseName(QString::fromStdString(location));
        ASSERT_TRUE(refuse.open());
        QSqlQuery trigger(refuse);
        ASSERT_TRUE(trigger.exec("CREATE TRIGGER refuse BEFORE INSERT ON submissions WHEN "
                                 "NEW.user_name = 'Refused' BEGIN SELECT RAISE(ABORT, "
                                 "'refused'); END"));
    }
    QSqlDatabase::removeDatabase("refuse");
    {
        ServerWorkers workers(location, "");
        SubmissionPipeline pipeline(workers, {1, 100, 100}, [](const SubmissionRequest&) {
            SubmissionVerdict verdict;
            verdict.judged = true;
            verdict.attemptCount = 1;
            return verdict;
        });
        std::map<std::string, SubmissionOutcome::Status> statuses;
        int answered = 0;
        for (const std::string user : {"Refused", "Sidorov", "Orlov", "Pavlov", "Refused"})
            for (const std::string taskName : {"k1", "k2"}) {
                auto other = std::make_shared<BankTask>();
                other->name = taskName;
                pipeline.Submit({user, other, "p", {}, {}, {}},
                                [&, key = user + ":" + taskName](const SubmissionOutcome& o) {
                                    statuses[key] = o.status;
                                    ++answered;
                                });
            }
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered == 10; }, 10000));
        for (const auto& [key, status] : statuses)
            EXPECT_EQ(status, key.rfind("Refused", 0) == 0 ? SubmissionOutcome::Status::NotStored
                                                           : SubmissionOutcome::Status::Stored)
                << key;
    }
    EXPECT_EQ(db.SubmissionCount(), 3 + 6);
}
