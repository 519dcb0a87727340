#pragma once

#include "TaskBank.h"
#include "app/Frames.h"

#include <string>
#include <string_view>

// One client's session with the reference server: takes the bytes the client sent and
// answers with the bytes to send back. LOGIN opens the session; GETQUESTLIST, GETQUEST
// and SETRESULTQUEST are answered only after it, and with RELOG before it.
class ServerSession {
public:
    explicit ServerSession(const TaskBank& bank) : bank_(bank) {}

    std::string Receive(std::string_view bytes);

    bool LoggedIn() const { return !user_.empty(); }
    // A client that sent a frame the protocol cannot read is not served further.
    bool Broken() const { return broken_; }

private:
    std::string Handle(const std::string& message);
    std::string HandleLogin(const std::string& payload);
    std::string QuestList() const;
    std::string Quest(const std::string& name) const;

    const TaskBank& bank_;
    FrameReceiver receiver_;
    std::string user_;
    bool broken_ = false;
};
