#pragma once

#include "Submission.h"
#include "TaskBank.h"

#include <string>

// One submission on its way through the server: what the session hands its host, and
// what comes back once the host has paced, judged and stored it.

// One submission as the server keeps it. Texts are CP1251, as they came and went.
struct SubmissionRecord {
    std::string user;
    std::string task;     // empty when no task was open
    std::string payload;  // exactly as received
    std::string verdicts; // "NAME: верно; NAME: неверно"; empty when not judged
    int score = -1;       // answers judged right; -1 when not judged
    int total = 0;        // answers judged
};

struct SubmissionRequest {
    std::string user;
    const BankTask* task = nullptr; // the open task; never null
    std::string payload;
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
};

// Judges a submission against its task.
SubmissionVerdict JudgeRequest(const SubmissionRequest& request, AnswerJudge& judge);
// The record stored for a judged submission.
SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionVerdict& verdict);
