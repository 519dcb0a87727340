#include "app/DraftStore.h"
#include "app/KeptPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const DraftKey kBeam{"127.0.0.1:797", "Guest", "\xc1\xe0\xeb\xea\xe0-1"}; // "Балка-1"

QStringList DraftFiles(const QString& folder) {
    return QDir(folder).entryList({"*.draft"}, QDir::Files);
}

void Age(const QString& path, int days) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-days),
                                 QFileDevice::FileModificationTime));
}

} // namespace

TEST(DraftStoreTest, RowsComeBackByteForByteForTheirKeyOnly) {
    QTemporaryDir dir;
    const std::vector<std::string> rows{"X!A@", "", "2*~w#2@*R \xe0\xff", "a;b|c"};
    const std::vector<std::string> drawing{"force 40 70 90\nR!A@\n  ", "moment 1 2 cw\n\xcc\n2*F"};
    ASSERT_EQ(DraftStore(dir.path()).Save(kBeam, rows, drawing), "");
    // Another store on the same folder is the client started again, also after a kill:
    // nothing is held in memory between a save and the disk.
    DraftStore restarted(dir.path());
    EXPECT_EQ(restarted.Load(kBeam), rows);
    EXPECT_EQ(restarted.LoadDrawing(kBeam), drawing);
    EXPECT_TRUE(restarted.Load({kBeam.server, "student", kBeam.task}).empty());
    EXPECT_TRUE(restarted.Load({"127.0.0.1:7970", kBeam.user, kBeam.task}).empty());
    EXPECT_TRUE(restarted.Load({kBeam.server, kBeam.user, "Балка-2"}).empty());
    // A later save replaces the draft; one file per key.
    ASSERT_EQ(restarted.Save(kBeam, {"F*l"}), "");
    EXPECT_EQ(restarted.Load(kBeam), std::vector<std::string>{"F*l"});
    EXPECT_TRUE(restarted.LoadDrawing(kBeam).empty());
    EXPECT_EQ(DraftFiles(dir.path()).size(), 1);
}

TEST(DraftStoreTest, EmptyRowsLeaveNoDraft) {
    QTemporaryDir dir;
    DraftStore store(dir.path());
    ASSERT_EQ(store.Save(kBeam, {"a"}), "");
    ASSERT_EQ(store.Save(kBeam, {"", ""}), "");
    EXPECT_TRUE(store.Load(kBeam).empty());
    EXPECT_TRUE(DraftFiles(dir.path()).isEmpty());
    // A drawing alone is a draft.
    ASSERT_EQ(store.Save(kBeam, {"", ""}, {"force 1 2 90\nF\n"}), "");
    EXPECT_EQ(store.LoadDrawing(kBeam), std::vector<std::string>{"force 1 2 90\nF\n"});
}

TEST(DraftStoreTest, ADamagedDraftReadsAsNoneAndIsOverwritten) {
    QTemporaryDir dir;
    DraftStore store(dir.path());
    ASSERT_EQ(store.Save(kBeam, {"a", "b"}), "");
    const QString path = dir.path() + "/" + DraftFiles(dir.path()).first();
    for (const QByteArray& damage :
         {QByteArray("{\"rows\": [\"YQ==\""), QByteArray("\0\1\2garbage", 10), QByteArray(),
          QByteArray("[1,2,3]"), QByteArray("{\"server\":1,\"rows\":{}}")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damage);
        file.close();
        EXPECT_TRUE(store.Load(kBeam).empty()) << damage.toStdString();
    }
    ASSERT_EQ(store.Save(kBeam, {"c"}), "");
    EXPECT_EQ(store.Load(kBeam), std::vector<std::string>{"c"});
}

TEST(DraftStoreTest, DraftsStayWithinTheirLimits) {
    QTemporaryDir dir;
    DraftStore::Limits limits;
    limits.maxTotalBytes = 2000;
    limits.maxFileBytes = 1000;
    limits.maxRows = 3;
    DraftStore store(dir.path(), limits);
    EXPECT_NE(store.Save(kBeam, {"a", "b", "c", "d"}), "");
    EXPECT_NE(store.Save(kBeam, {std::string(2000, 'x')}), "");
    EXPECT_TRUE(store.Load(kBeam).empty());

    // Five drafts of some 650 bytes each: the oldest past the age limit goes for its age,
    // the next oldest for the size of the folder, the three newest stay.
    std::vector<DraftKey> keys;
    for (int i = 0; i < 5; ++i) {
        keys.push_back({"s", "u", "task" + std::to_string(i)});
        ASSERT_EQ(store.Save(keys.back(), {std::string(400, 'y')}), "");
    }
    const QString folder = dir.path();
    const auto pathOf = [&](int i) {
        // Each save is the newest file, so the saved order is the modification order.
        QFileInfoList files = QDir(folder).entryInfoList({"*.draft"}, QDir::Files);
        for (const QFileInfo& info : files) {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            if (file.readAll().contains(QByteArray::fromStdString(keys[i].task).toBase64()))
                return info.filePath();
        }
        return QString();
    };
    for (int i = 0; i < 5; ++i)
        Age(pathOf(i), i == 0 ? 61 : 10 - i);
    store.Prune(QDateTime::currentDateTime());
    EXPECT_TRUE(store.Load(keys[0]).empty());
    EXPECT_TRUE(store.Load(keys[1]).empty());
    for (int i = 2; i < 5; ++i)
        EXPECT_FALSE(store.Load(keys[i]).empty()) << i;
}

TEST(DraftStoreTest, AFolderThatCannotBeWrittenIsReportedNotFatal) {
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/drafts");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    DraftStore store(dir.path() + "/drafts");
    EXPECT_NE(store.Save(kBeam, {"a"}), "");
    EXPECT_TRUE(store.Load(kBeam).empty());
    store.Prune(QDateTime::currentDateTime());
}

// What the client kept under its earlier names (the settings under Qt's stand-in for a
// missing organisation, the drafts under the window title) moves to the places of
// "vekta"/"vekta-client" on the first start: nothing lost, no newer file overwritten.
TEST(DraftStoreTest, TheFirstStartMovesSettingsAndDraftsFromTheEarlierPlaces) {
    struct File {
        const char* path; // under the home folder
        int ageDays;      // -1: none there
    };
    struct Case {
        std::vector<File> before;
        std::vector<File> after;
        int moved;
    };
    const char* const oldSettings = ".config/Unknown Organization/Клиент системы \"ВЕКТА\".conf";
    const char* const newSettings = ".config/vekta/vekta-client.conf";
    const char* const oldA = ".local/share/Клиент системы \"ВЕКТА\"/drafts/a.draft";
    const char* const oldB = ".local/share/Клиент системы \"ВЕКТА\"/drafts/b.draft";
    const char* const newA = ".local/share/vekta/vekta-client/drafts/a.draft";
    const char* const newB = ".local/share/vekta/vekta-client/drafts/b.draft";
    const Case cases[] = {
        {{{oldSettings, 3}, {oldA, 2}, {oldB, 1}},
         {{oldSettings, -1}, {newSettings, 3}, {oldA, -1}, {newA, 2}, {newB, 1}},
         3},
        // A newer file at the new place stays; the older one stays where it was.
        {{{oldSettings, 3}, {newSettings, 1}, {oldA, 2}, {newA, 0}},
         {{oldSettings, 3}, {newSettings, 1}, {oldA, 2}, {newA, 0}},
         0},
        // An older one is replaced.
        {{{oldSettings, 1}, {newSettings, 3}, {oldA, 2}, {newA, 5}, {oldB, 1}},
         {{oldSettings, -1}, {newSettings, 1}, {oldA, -1}, {newA, 2}, {newB, 1}},
         3},
        // Started again: nothing left to move.
        {{{newSettings, 1}, {newA, 2}}, {{newSettings, 1}, {newA, 2}}, 0},
    };
    for (const Case& c : cases) {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath(".local/share").toUtf8());
        for (const File& file : c.before) {
            const QString path = home.filePath(QString::fromUtf8(file.path));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile made(path);
            ASSERT_TRUE(made.open(QIODevice::WriteOnly));
            made.write(QByteArray::number(file.ageDays));
            made.close();
            Age(path, file.ageDays);
        }
        SetClientNames();
        const KeptPlaces current = CurrentPlaces();
        EXPECT_EQ(current.settingsFile, home.filePath(newSettings));
        EXPECT_EQ(current.draftsFolder, home.filePath(".local/share/vekta/vekta-client/drafts"));
        EXPECT_EQ(MoveKeptFiles(EarlierPlaces(), current), c.moved);
        for (const File& file : c.after) {
            QFile kept(home.filePath(QString::fromUtf8(file.path)));
            if (file.ageDays < 0) {
                EXPECT_FALSE(kept.exists()) << file.path;
                continue;
            }
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << file.path;
            EXPECT_EQ(kept.readAll(), QByteArray::number(file.ageDays)) << file.path;
        }
        if (c.moved == 3) { // nothing left: the earlier folders are gone
            EXPECT_FALSE(QDir(home.filePath(".config/Unknown Organization")).exists());
            EXPECT_FALSE(QDir(home.filePath(".local/share/Клиент системы \"ВЕКТА\"")).exists());
        }
    }
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
}
