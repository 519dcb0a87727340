#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// Whose answers a draft holds: the server as its address is written, the user as logged
// in, and the task by its name (all as the protocol carries them, CP1251 bytes).
struct DraftKey {
    std::string server;
    std::string user;
    std::string task;
};

// The answer rows a student typed, kept on disk so that neither a lost connection, a
// reopened task nor a closed or killed client loses them. One small file per key, written
// atomically; a damaged or foreign file reads as no draft. The folder is bounded: drafts
// older than maxAgeDays go, and past maxTotalBytes the oldest go first.
class DraftStore {
public:
    struct Limits {
        int maxAgeDays = 60;
        std::int64_t maxTotalBytes = 4 * 1024 * 1024;
        std::int64_t maxFileBytes = 512 * 1024;
        int maxRows = 50;
    };

    explicit DraftStore(QString folder);
    DraftStore(QString folder, Limits limits);

    // Writes the rows for the key, and the drawing's objects (one text each) on a task with
    // a drawn answer; rows that are all empty with nothing drawn remove the draft instead.
    // Returns an empty text on success, else what went wrong (the old draft then stays).
    std::string Save(const DraftKey& key, const std::vector<std::string>& rows,
                     const std::vector<std::string>& drawing = {});
    // The rows saved for the key; none when there is no draft or it cannot be read.
    std::vector<std::string> Load(const DraftKey& key) const;
    // The drawing's objects saved for the key; none when there is no draft, it has no
    // drawing or it cannot be read.
    std::vector<std::string> LoadDrawing(const DraftKey& key) const;
    void Remove(const DraftKey& key);

    // Drops drafts older than the age limit at `now`, then the oldest while the folder
    // is over its size limit.
    void Prune(const QDateTime& now);

    // The folder drafts live in by default: the user's data folder of this program.
    static QString DefaultFolder();

private:
    QString PathOf(const DraftKey& key) const;
    // The texts of one list of the key's draft ("rows" or "drawing").
    std::vector<std::string> LoadList(const DraftKey& key, const char* list) const;

    QString folder_;
    Limits limits_;
};
