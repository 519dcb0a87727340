#pragma once

#include <QByteArray>
#include <QString>

// A bank of one task for a server under test: `taskPath` under `folder` (its sheet's
// subfolder included, "statica/beam.task") holding `taskText`, and users.txt holding
// `users`. False when a file cannot be written.
bool WriteTestBank(const QString& folder, const QString& taskPath, const QByteArray& taskText,
                   const QByteArray& users = "Guest;wuzo\n");
