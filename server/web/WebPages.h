#pragma once

#include "course/ItemStatistics.h"
#include "session/LiveSession.h"
#include "web/Gradebook.h"

#include <string>
#include <vector>

// The teacher's pages as HTML: one small stylesheet, no file from elsewhere, every text of
// the store escaped. The sort and filter of the gradebook are a small script that runs
// only with the page's nonce. Texts are UTF-8.

// What every page but the sign-in page carries: who is signed in, the token of the sign-out
// form, and the nonce of the page's script.
struct PageFrame {
    std::string teacher;
    std::string formToken;
    std::string scriptNonce;
};

// One answer of a submission as the reading shows it, and its verdict.
struct AnswerLine {
    std::string name;    // "v_C"
    std::string reading; // "2·v_C", or why it cannot be read
    std::string verdict; // "верно", "неверно", "не принято"; empty when not judged
    std::string hint; // the code of a wrong answer's hint ("sign"); empty without one
};

struct SubmissionLine {
    std::string received; // the server's local time
    std::string task;
    int attempt = 0; // 0: no attempt
    int score = -1;  // answers judged "верно"; -1: not judged
    int total = 0;   // the answers the task asks for: "верно 2 из 3"
    // What the attempt earned, its penalty taken off ("засчитано 2,4 (80 %)"); a factor
    // of 1 when the attempt costs nothing.
    double credited = 0;
    double factor = 1;
    std::string variant; // "F = 8; a = 45"
    std::string note;    // why it was not judged, when it was not
    std::vector<AnswerLine> answers;
    // A drawn answer over the diagram (PNG), or why it could not be drawn; both empty for
    // a task without one.
    std::string drawingPng;
    std::string drawingProblem;
};

// The readings of one requested name submitted for a task, with how often each came.
struct ReadingCount {
    std::string reading;
    std::string verdict;
    int count = 0;
    std::string hint; // the code of the mistake a wrong reading looks like
};
struct AnswerSummary {
    std::string name;
    std::string reference; // for the chosen variant
    // The wrong ones first, grouped by the mistake they look like, the most frequent first.
    std::vector<ReadingCount> readings;
};

struct TaskReport {
    std::string name;
    std::string caption;
    std::string sheet;
    int maximum = 0;
    std::string student; // whose variant is shown
    std::string variant; // its values the statement shows
    std::string helpers; // and those it does not (coordinates, the answer's helpers)
    std::string picture; // PNG bytes, empty when it could not be drawn
    std::string pictureProblem;
    std::vector<std::string> students; // to choose a variant from
    std::vector<AnswerSummary> answers;
};

std::string LoginPage(const std::string& formToken, const std::string& message);
std::string GradebookPage(const PageFrame& frame, const Gradebook& book);
std::string StudentPage(const PageFrame& frame, const std::string& student,
                        const std::vector<SubmissionLine>& submissions);
std::string TaskPage(const PageFrame& frame, const TaskReport& report);
std::string NowPage(const PageFrame& frame, const std::vector<LiveSession>& sessions);
// The item statistics: the course's figures, a row per task and per variant with its flags,
// and the distributions of the total and of each task's scores.
std::string StatsPage(const PageFrame& frame, const CourseStatistics& statistics, bool best);
// A short page with a heading and one line, for refusals and pages not found.
std::string MessagePage(const std::string& title, const std::string& line);
