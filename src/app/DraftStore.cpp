#include "app/DraftStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <string_view>

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Texts are CP1251 bytes; base64 keeps every byte exactly, whatever the code page.
QString Encoded(const std::string& text) {
    return QString::fromLatin1(Bytes(text).toBase64());
}

std::string Decoded(const QJsonValue& value) {
    const QByteArray raw = QByteArray::fromBase64(value.toString().toLatin1());
    return raw.toStdString();
}

constexpr const char* kSuffix = ".draft";

} // namespace

DraftStore::DraftStore(QString folder) : DraftStore(std::move(folder), Limits{}) {}

DraftStore::DraftStore(QString folder, Limits limits)
    : folder_(std::move(folder)), limits_(limits) {}

QString DraftStore::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/drafts";
}

QString DraftStore::PathOf(const DraftKey& key) const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const std::string* part : {&key.server, &key.user, &key.task}) {
        hash.addData(Bytes(*part));
        hash.addData(QByteArray(1, '\0'));
    }
    return folder_ + "/" + QString::fromLatin1(hash.result().toHex()) + kSuffix;
}

std::string DraftStore::Save(const DraftKey& key, const std::vector<std::string>& rows,
                             const std::vector<std::string>& drawing) {
    const bool empty = std::all_of(rows.begin(), rows.end(), [](auto& r) { return r.empty(); });
    if (empty && drawing.empty()) {
        Remove(key);
        return {};
    }
    if (static_cast<int>(rows.size()) > limits_.maxRows)
        return "too many rows for a draft";
    if (static_cast<int>(drawing.size()) > limits_.maxRows * 2)
        return "too many drawn objects for a draft";
    const auto encodedList = [](const std::vector<std::string>& texts) {
        QJsonArray list;
        for (const std::string& text : texts)
            list.append(Encoded(text));
        return list;
    };
    QJsonObject draft{{"server", Encoded(key.server)},
                      {"user", Encoded(key.user)},
                      {"task", Encoded(key.task)},
                      {"saved", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                      {"rows", encodedList(rows)}};
    if (!drawing.empty())
        draft.insert("drawing", encodedList(drawing));
    const QByteArray content = QJsonDocument(draft).toJson(QJsonDocument::Compact);
    if (content.size() > limits_.maxFileBytes)
        return "the draft is larger than a draft may be";
    if (!QDir().mkpath(folder_))
        return "cannot create the drafts folder " + folder_.toStdString();
    QSaveFile file(PathOf(key));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return file.errorString().toStdString();
    return {};
}

std::vector<std::string> DraftStore::Load(const DraftKey& key) const {
    return LoadList(key, "rows");
}

std::vector<std::string> DraftStore::LoadDrawing(const DraftKey& key) const {
    return LoadList(key, "drawing");
}

std::vector<std::string> DraftStore::LoadList(const DraftKey& key, const char* list) const {
    QFile file(PathOf(key));
    if (file.size() > limits_.maxFileBytes || !file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.read(limits_.maxFileBytes));
    const QJsonObject draft = document.object();
    // A file of another key (never expected, but the name is a hash) is not this draft.
    if (Decoded(draft["server"]) != key.server || Decoded(draft["user"]) != key.user ||
        Decoded(draft["task"]) != key.task)
        return {};
    const QJsonArray encodedRows = draft[list].toArray();
    const int most = std::string_view(list) == "rows" ? limits_.maxRows : limits_.maxRows * 2;
    if (encodedRows.size() > most)
        return {};
    std::vector<std::string> rows;
    for (const QJsonValue& row : encodedRows)
        rows.push_back(Decoded(row));
    return rows;
}

void DraftStore::Remove(const DraftKey& key) {
    QFile::remove(PathOf(key));
}

void DraftStore::Prune(const QDateTime& now) {
    QFileInfoList drafts = QDir(folder_).entryInfoList({QString("*") + kSuffix}, QDir::Files,
                                                       QDir::Time | QDir::Reversed);
    const QDateTime oldest = now.addDays(-limits_.maxAgeDays);
    std::int64_t total = 0;
    for (const QFileInfo& draft : drafts)
        total += draft.size();
    // Oldest first: those past the age limit, then those that keep the folder too large.
    for (const QFileInfo& draft : drafts) {
        if (draft.lastModified() >= oldest && total <= limits_.maxTotalBytes)
            break;
        if (QFile::remove(draft.filePath()))
            total -= draft.size();
    }
}
