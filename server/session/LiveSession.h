#pragma once

#include <string>

// What the teacher's "now" page shows of one open connection: a copy taken on the event
// loop's thread, safe to hand to any other. Texts are UTF-8.
struct LiveSession {
    std::string user;    // empty before login
    std::string address; // the student's address and port
    std::string since;   // when it connected, the server's local time
    std::string openTask;
    std::string lastSubmission; // time, task and outcome; empty when none yet
};
