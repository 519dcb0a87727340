#pragma once

#include "AnswerJudge.h"
#include "SessionHost.h"
#include "TaskBank.h"
#include "protocol/Frames.h"

#include <optional>
#include <string>
#include <string_view>

// One client's session with the reference server: takes the bytes the client sent and
// answers with the bytes to send back. LOGIN opens the session; GETQUESTLIST, GETQUEST
// and SETRESULTQUEST are answered only after it, and with RELOG before it. A submission
// is judged against the task the session sent last, stored through the host, and only
// then answered with a MESSAGE of the verdict.
class ServerSession {
public:
    // The largest frame a client may send, header included.
    static constexpr std::size_t MaxFrameBytes = 1 << 20;

    ServerSession(const TaskBank& bank, SessionHost& host) : bank_(bank), host_(host) {}

    // Takes received bytes and answers every complete frame that may be answered now.
    std::string Receive(std::string_view bytes);
    // Answers the frames still waiting behind a login whose check was not decided.
    std::string Continue() { return Receive({}); }
    // A login waits for the host's decision; the frames behind it wait too.
    bool LoginPending() const { return loginPending_; }

    bool LoggedIn() const { return !user_.empty(); }
    const std::string& User() const { return user_; }
    // A client that sent a frame the protocol cannot read, or one over MaxFrameBytes, is
    // not served further.
    bool Broken() const { return broken_; }

private:
    std::string AnswerQueued();
    std::string Handle(const std::string& message);
    // Empty when the host has not decided on the login yet.
    std::optional<std::string> HandleLogin(const std::string& payload);
    std::string HandleSubmission(const std::string& payload);
    std::string QuestList() const;
    std::string Quest(const std::string& name);

    const TaskBank& bank_;
    SessionHost& host_;
    AnswerJudge judge_;
    FrameReceiver receiver_;
    std::string user_;
    const BankTask* openTask_ = nullptr;
    bool loginPending_ = false;
    bool broken_ = false;
};
