#pragma once

#include <QString>

// Where the client keeps what outlives a run: its settings file and its drafts folder.
struct KeptPlaces {
    QString settingsFile;
    QString draftsFolder;
};

// Names the program for its settings and the user's folders: organisation "vekta",
// application "vekta-client".
void SetClientNames();

// The places under the names set now, and the places the client used before it named
// its organisation and itself as above.
KeptPlaces CurrentPlaces();
KeptPlaces EarlierPlaces();

// Moves what was kept at `from` to `to`: the settings file, and every file of the drafts
// folder. A file moves unless the one already at its new place is at least as new; what
// does not move stays where it was, so nothing is lost. Folders left empty at `from` go.
// Returns the number of files moved.
int MoveKeptFiles(const KeptPlaces& from, const KeptPlaces& to);
