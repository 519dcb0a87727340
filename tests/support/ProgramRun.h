#pragma once

#include <QProcessEnvironment>
#include <QStringList>

#include <string>

// One run of a built program, for the tests that check a tool from outside.
struct ProgramRun {
    int exitCode = -1; // -1 when the program did not start or did not end in time
    std::string out;
    std::string err;
};

// Runs `program` with UTF-8 arguments in `environment` and waits (at most 60 s) for it.
ProgramRun
RunProgram(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
