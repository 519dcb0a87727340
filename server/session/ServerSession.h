#pragma once

#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "judging/AnswerJudge.h"
#include "protocol/Frames.h"
#include "protocol/Messages.h"
#include "session/SessionHost.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// One client's session with the reference server: takes the bytes the client sent and
// answers with the bytes to send back, reading and writing the typed messages of
// protocol/Messages.h. The client's FEATURES may come at any time and are answered with
// nothing; they decide how it is told goodbye. LOGIN opens the session; GETQUESTLIST, GETQUEST
// and SETRESULTQUEST are answered only after it, and with RELOG before it. A submission
// answers the task the session sent last; the host paces, judges and stores it, and only
// then is it answered with a MESSAGE of the verdict. A submission with no task open, or
// over MaxSubmissionBytes, is answered and not stored.
//
// Each student gets a variant of their own of every task (drawn with the course's
// secret): its caption in the task list, with the student's standing after it, and its
// numbers in the task; a submission is judged against that variant. Outside the test
// window the task list and the tasks are answered with when it opens or that it closed.
//
// A task with a drawn answer is opened only by a client that named "drawing"; other
// clients see it listed with "(нужен новый клиент)".
//
// A client that named "history" may ask for its earlier submissions at a task
// (GETHISTORY); the host reads them, and the session answers HISTORY with their verdicts
// and credit, or without them while the course withholds results.
//
// A client that named "solutions" may ask for a task's solution (GETSOLUTION) once the
// course lets this student see it: after their window closed (solutions = after_close), or
// once they used every attempt of the task (after_attempts). It is answered with the
// reference answers of the student's variant and, for a drawn answer, what a right drawing
// holds and the student's last drawing; before that, with a MESSAGE of when. QUEST marks a
// task whose solution may be asked for, and a submission that used the last attempt is
// followed by SOLUTIONREADY. After the close such a task is still sent, to be read.
class ServerSession {
public:
    // The largest frame a client may send, header included, before and after logging in.
    static constexpr std::size_t MaxLoginFrameBytes = 1024;
    static constexpr std::size_t MaxFrameBytes = 64 * 1024;
    static constexpr std::size_t MaxSubmissionBytes = 16 * 1024;

    ServerSession(const TaskBank& bank, SessionHost& host) : bank_(bank), host_(host) {}

    // The FEATURES frame the server sends as soon as it accepts a connection.
    static std::string Greeting();
    // What the server sends before it closes the connection on purpose: BYE with the
    // reason and the text to a client that announced it reads BYE, else the text as a
    // MESSAGE.
    std::string Farewell(std::string_view reason, const std::string& utf8Text) const;
    // What the client announced in its FEATURES; none before it sends them.
    const Features& ClientFeatures() const { return clientFeatures_; }

    // Takes received bytes and answers every complete frame that may be answered now.
    std::string Receive(std::string_view bytes);
    // Answers the frames still waiting behind a login or submission the host had not
    // decided.
    std::string Continue() { return Receive({}); }
    // A login or a submission waits for the host; the frames behind it wait too.
    bool Waiting() const { return waiting_; }
    // Frames answered so far: a client that completes none is idle however it drips bytes.
    long long FramesAnswered() const { return framesAnswered_; }
    // Bytes of a frame header have come, and not yet the whole header.
    bool HeaderIncomplete() const {
        return receiver_.FrameLength() == 0 && !receiver_.ReceiveBuffer().empty();
    }

    bool LoggedIn() const { return !user_.empty(); }
    const std::string& User() const { return user_; }
    // The name of the task sent last (CP1251); empty when none is open.
    std::string OpenTaskName() const { return openTask_ ? openTask_->task.name : std::string(); }
    // A client that sent a frame the protocol cannot read, or one over the frame limit, is
    // not served further.
    bool Broken() const { return broken_; }

private:
    std::string AnswerQueued();
    std::string Handle(MessageKind kind, std::string_view payload);
    // Empty when the host has not decided on the login yet.
    std::optional<std::string> HandleLogin(const LoginMessage& login);
    // Empty while the host has not decided on the submission yet.
    std::optional<std::string> HandleSubmission(const std::string& payload);
    // Empty while the host is reading the submissions.
    std::optional<std::string> HandleHistory(const std::string& name);
    // Empty while the host is reading the student's last drawing.
    std::optional<std::string> HandleSolution(const std::string& name);
    // Why this student may not see the task's solution yet (UTF-8); empty when they may.
    std::string SolutionWithheld(const BankTask& task) const;
    bool OffersSolution(const BankTask& task) const;
    std::string Reply(const SubmissionRequest& request, const SubmissionOutcome& outcome);
    std::size_t FrameLimit() const { return LoggedIn() ? MaxFrameBytes : MaxLoginFrameBytes; }
    std::string QuestList();
    std::string Quest(const std::string& name);
    // The student's variant of a task, drawn once per session.
    std::shared_ptr<const TaskVariant> VariantFor(const BankTask& task);
    AttemptRules RulesOf(const BankTask& task) const;
    // A task with a drawn answer, to a client that cannot draw: listed with "(нужен новый
    // клиент)" and not opened.
    bool NeedsNewerClient(const BankTask& task) const;
    // What the task list and the tasks answer outside the test window (UTF-8); empty in it.
    std::string WindowClosed() const;
    bool UnderReview() const;
    bool ReviewOpen() const;
    void LogReferenceProblems(const std::string& who, const SubmissionVerdict& verdict);
    std::string Verdict(const SubmissionRequest& request, const SubmissionOutcome& outcome);

    const TaskBank& bank_;
    SessionHost& host_;
    FrameReceiver receiver_;
    std::string user_;
    StudentRecord student_; // as the store knew it at login, with this session's attempts
    std::string secret_;
    std::map<std::string, std::shared_ptr<const TaskVariant>> variants_; // by task name
    std::shared_ptr<const TaskVariant> openTask_;
    bool waiting_ = false;
    long long framesAnswered_ = 0;
    bool broken_ = false;
    Features clientFeatures_;
};
