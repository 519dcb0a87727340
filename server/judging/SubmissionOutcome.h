#pragma once

#include "course/Attempts.h"
#include "course/TaskBank.h"
#include "course/TestWindow.h"
#include "judging/Submission.h"

#include <memory>
#include <string>

// One submission on its way through the server: what the session hands its host, and
// what comes back once the host has paced, judged and stored it.

// One submission as the server keeps it. Texts are CP1251, as they came and went.
struct SubmissionRecord {
    std::string user;
    std::string task;     // empty when no task was open
    std::string payload;  // exactly as received
    std::string verdicts; // "NAME: верно; NAME: неверно"; empty when not judged
    int score = -1;       // answers judged "верно" (a drawing among them); -1 when not judged
    int total = 0; // the answers the task asks for, a drawing as one, whatever their verdicts
    // Whether it uses one of the student's attempts at the task (it gets the next attempt
    // number): at least one answer was judged "верно" or "неверно". A submission not
    // judged, or with every answer "не принято", does not.
    bool counted = true;
    std::string variant; // the variant's values, "F = 8; a = 45" (CP1251); empty without
    // The credit it earns, in the unit of `score`: an answer judged "верно" earns 1, so
    // that "credited of total" reads as "score of total" does; a drawing earns its score,
    // a fraction, so a submission with a drawing partly right is credited a fraction (0
    // when not judged). The attempt penalty is not in it: standings take it off by the
    // task's rules when they are read.
    double credited = 0;
};

struct SubmissionRequest {
    std::string user;
    // The open task as the student got it (the student's variant); never null. Shared, so
    // that it outlives a connection that closes while the submission is under way.
    std::shared_ptr<const BankTask> task;
    std::string payload;
    std::string variant; // the variant's values whole (ExactValuesText)
    AttemptRules rules;  // the task's attempts
    TestWindow window;   // when the course's tasks may be worked on
};

struct SubmissionOutcome {
    enum class Status {
        Stored,      // judged and stored: `verdict` holds the verdict
        Paced,       // too soon after the student's previous ones: neither judged nor stored
        TooComplex,  // judging took longer than its budget: not stored
        NotStored,   // the store refused it
        Unavailable, // the database is out of reach for now
    };
    Status status = Status::NotStored;
    SubmissionVerdict verdict;
    long long waitMs = 0; // Paced: until the next submission may go
    std::string problem;  // NotStored, Unavailable: why, for the operator's log
    // Stored: the attempt it used (numbered from 1), 0 when it used none.
    int attempt = 0;
    // Stored without judging, what the student is told (UTF-8): the test window is
    // closed, or no attempt is left. Empty when it was judged.
    std::string notJudged;
};

// Judges a submission against its task.
SubmissionVerdict JudgeRequest(const SubmissionRequest& request, AnswerJudge& judge);
// Whether a submission may be judged, from the student's judged attempts at the task so
// far, their extra minutes and the time it came: an outcome whose `notJudged` says why
// not (the test window is closed or not open yet, or no attempt is left), else empty.
SubmissionOutcome Admit(const SubmissionRequest& request, const std::vector<Attempt>& attempts,
                        int extensionMinutes, const LocalTime& now);
// The record stored for a submission: judged, or with why it was not in its verdicts.
SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionOutcome& outcome);
SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionVerdict& verdict);
