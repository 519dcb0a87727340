#pragma once

#include "protocol/Frames.h"

#include <string>

// What the student is told about the connection to the testing server: the state line
// of the main window, the reports of a refused or lost connection, and the judgement of
// what the server sends (damaged headers, more than the client can take). Texts are
// CP1251 and keep the socket layer's own code text at their end.
class ConnectionState {
public:
    enum class Phase { NotConnected, Connecting, Connected };
    enum class Failure { Refused, HostNotFound, TimedOut, NetworkDown, Other };
    // What to do after a read: go on, report a damaged header once, or close the
    // connection (reported once).
    enum class Verdict { Fine, ReportDamage, CloseDamaged, CloseFlooded };

    // A connection that sends more refused headers than this is closed.
    static constexpr int kMaxBadHeaders = 3;

    // A new connection to "HOST:PORT" starts, encrypted or not: everything about the last
    // one is forgotten.
    void StartConnecting(const std::string& address, bool encrypted = false);
    void Connected();
    // The login is sent; the student counts as logged in only once the server lets them
    // in (LoginAccepted), so a refusal never shows the name as logged in.
    void LoginSent(const std::string& user);
    void LoginAccepted();
    bool LoginPending() const { return !pendingUser_.empty(); }
    void LoginAsked(); // the server asks for the login again
    // The client closes the connection itself: its end is not reported.
    void CloseOnPurpose();

    // The texts to report (empty: nothing to report) when the connection fails with a
    // socket error, or ends.
    std::string Failed(Failure failure, int systemCode);
    // The server's certificate failed the check (the socket layer's reasons, CP1251): the
    // connection is not made and nothing is sent.
    std::string CertificateRefused(const std::string& reasons);
    std::string Ended();

    Verdict Judge(const FrameReceiver::Result& read);
    std::string DamageText() const;
    std::string ClosedText(Verdict verdict) const;

    Phase CurrentPhase() const { return phase_; }
    bool LoggedIn() const { return phase_ == Phase::Connected && !user_.empty(); }
    std::string StateText() const;
    // Why "Задания" or a task link does nothing now; empty when they work.
    std::string WhyNothingHappens() const;

private:
    Phase phase_ = Phase::NotConnected;
    std::string address_;
    bool encrypted_ = false;
    std::string user_;
    std::string pendingUser_; // sent in a login the server has not answered yet
    int badHeaders_ = 0;
    bool endReported_ = false; // the end of this connection has been told once
};
