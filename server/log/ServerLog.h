#pragma once

#include <QString>

// One line on the operator's log, stderr, stamped with the UTC time (LogText of `line`);
// a line that repeats a recent failure of the store is thinned out (RepeatedFailures).
// Safe from any thread.
void ServerLog(const QString& line);

// A line as the log shows it: control characters (a newline among them) and line and
// paragraph separators, which names and messages from outside may carry, become "?", so
// that no text can end a log line and forge the next.
QString LogText(const QString& line);
