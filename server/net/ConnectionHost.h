#pragma once

#include <QString>
#include <QtGlobal>

#include <string>

class Connection;
class ServerWorkers;
class SharedLimits;
class SubmissionPipeline;
struct TaskBank;

// The limits a connection keeps on its own client.
struct ConnectionLimits {
    int idleMs = 0;              // without a complete frame
    int loginDeadlineMs = 0;     // to log in after connecting, and to complete a header
    qint64 unsentReplyBytes = 0; // a client that reads nothing is dropped past this
};

// What the server lends each of its connections, every part for its one use. All of it
// outlives the connections.
struct ConnectionTools {
    const TaskBank& bank;            // what the session serves
    const std::string& courseSecret; // what students' variants are drawn with
    ServerWorkers& workers;          // its database work and password checks
    SharedLimits& shared;            // login pacing over every server process
    SubmissionPipeline& pipeline;    // submissions paced, judged and stored
    ConnectionLimits limits;
};

// What a connection tells the server that holds it, on the event loop's thread.
class ConnectionEvents {
public:
    // The reply bytes the connection holds unsent grew (or shrank) by `delta`.
    virtual void UnsentChanged(qint64 delta) = 0;
    // The connection is going; `everLoggedIn` when a login of it was ever accepted.
    virtual void Released(Connection* connection, const QString& address, bool everLoggedIn) = 0;
    // A login was accepted; `first` when none of this connection was before.
    virtual void LoggedIn(Connection* connection, const std::string& user, bool first) = 0;
    // A login was refused, so the connection holds no account now.
    virtual void LoggedOut(Connection* connection) = 0;
    // At most one line a second of each kind of trouble that may come in floods.
    virtual void LogRarely(const QString& kind, const QString& line) = 0;

protected:
    ~ConnectionEvents() = default;
};
