#pragma once

class QObject;

// Marks for timing the client from outside (bench/startup.py). With VEKTA_PAINT_MARKS set in
// the environment, a line "vekta-mark WHAT MS [X Y]" goes to stderr once the event loop has
// painted one of the client's milestones: "window" (the main window), "list" (a link of
// the task list, with its centre on the screen) and "task" (a task's statement).
// MS is the monotonic clock in milliseconds. Without the variable nothing is installed.
void InstallPaintMarks(QObject* application);
