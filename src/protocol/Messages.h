#pragma once

#include "protocol/QuestList.h"
#include "protocol/QuestSections.h"
#include "protocol/ResultItems.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Every message the client and the testing server exchange, as a typed value with the one
// function that writes its frame and the one that reads it back. The receivers dispatch on
// MessageKind; nothing outside this library writes or reads frame text. docs/protocol.md
// describes each message. All texts are CP1251.

enum class MessageKind {
    Unknown, // a tag neither side knows: the receiver drops the frame
    // from the client
    Login,          // LOGIN: user ";" password
    GetQuestList,   // GETQUESTLIST: always "1"
    GetQuest,       // GETQUEST: a task's name
    SetResultQuest, // SETRESULTQUEST: the answers (ResultItems.h)
    GetHistory,     // GETHISTORY: a task's name
    GetSolution,    // GETSOLUTION: a task's name
    // from the server
    Quest,         // QUEST: a task's sections (QuestSections.h)
    Text,          // MESSAGE: a text to show
    QuestList,     // QUESTLIST: the task list (QuestList.h)
    Relog,         // RELOG: log in again
    Bye,           // BYE: why the server closes the connection, before it does
    Device,        // DEVICE: a device token for the next logins of the account just logged in
    History,       // HISTORY: the student's earlier submissions at one task
    Solution,      // SOLUTION: a task's solution on the student's variant
    SolutionReady, // SOLUTIONREADY: a task's name whose solution may now be asked for
    // both ways
    Features, // FEATURES: what the sender offers
};

// The kind of a whole frame, by its tag compared exactly, case included.
MessageKind KindOf(std::string_view frame);
// The payload of a whole frame: everything after its first ">".
std::string_view PayloadOf(std::string_view frame);

struct LoginMessage {
    std::string user;
    std::string password;
};
std::string WriteLogin(const LoginMessage& login);
// The user runs up to the first ";" (a ";" in the name cannot be told from the one before
// the password); no ";" at all: the whole payload is the user, with an empty password.
LoginMessage ReadLogin(std::string_view payload);

// "<GETQUESTLIST:1>1", always the same 17 bytes.
std::string WriteTaskListRequest();
// GETQUEST carries the task's name byte for byte as QUESTLIST gave it.
std::string WriteTaskRequest(std::string_view taskName);
// SETRESULTQUEST over a payload of WriteResultPayload.
std::string WriteSubmission(std::string_view resultPayload);

// MESSAGE: a text the client shows in its message box.
std::string WriteText(std::string_view text);
// RELOG with an empty payload: "<RELOG:0>".
std::string WriteRelog();

// One entry of the task list as the server writes it: the sheet's tag ("<STATICA>",
// "<KINEMATIK>", "<DINAMIK>"), the task's name and its caption. ParseQuestList reads them.
struct TaskListItem {
    std::string sheetTag;
    std::string name;
    std::string caption;
};
std::string WriteTaskList(const std::vector<TaskListItem>& items);

// FEATURES: words separated by ";", some with a value after "=" ("bye;version=2"). A
// receiver reads at most kMaxFeatureWords words of at most kMaxFeatureWordBytes bytes each
// (a longer one is passed by) from at most kMaxFeaturesBytes of payload; a word is made of
// Latin letters, digits and "-", and a value holds no ";".
struct Features {
    static constexpr std::size_t kMaxFeaturesBytes = 1024;
    static constexpr std::size_t kMaxFeatureWords = 32;
    static constexpr std::size_t kMaxFeatureWordBytes = 32;

    std::vector<std::pair<std::string, std::string>> words; // word, value (may be empty)

    bool Has(std::string_view word) const;
    // The value after "=", empty when the word has none or is not named.
    std::string ValueOf(std::string_view word) const;
};
std::string WriteFeatures(const Features& features);
Features ReadFeatures(std::string_view payload);

// The feature words. "bye": the side reads BYE (a client) or sends it (a server).
inline constexpr std::string_view kFeatureBye = "bye";
// "device": the server gives a device token after a login (DEVICE), the client keeps it and
// presents it as "device=TOKEN" in its FEATURES answer before the next login of that user.
inline constexpr std::string_view kFeatureDevice = "device";

// "history": the server answers GETHISTORY with HISTORY; the client offers "Мои ответы".
inline constexpr std::string_view kFeatureHistory = "history";

// "drawing": the server sends tasks with a drawn answer (DRAWING in QUEST) and reads the
// drawing item of SETRESULTQUEST; the client draws forces and moments on the diagram.
inline constexpr std::string_view kFeatureDrawing = "drawing";

// "solutions": the server answers GETSOLUTION with SOLUTION once the course lets the
// student see a task's solution, marks such a task in QUEST (SOLUTION) and tells when a
// submission made it so (SOLUTIONREADY); the client offers "Решение" on the task.
inline constexpr std::string_view kFeatureSolutions = "solutions";

// DEVICE: the token itself, at most kMaxDeviceTokenBytes of Latin letters and digits; a
// payload that is not one reads as no token ("").
inline constexpr std::size_t kMaxDeviceTokenBytes = 64;
std::string WriteDevice(std::string_view token);
std::string ReadDevice(std::string_view payload);

// BYE: a reason word, ";" and a text to show; the server closes the connection after it.
// A reason longer than kMaxReasonBytes is cut, and a text longer than kMaxByeTextBytes too.
struct ByeMessage {
    static constexpr std::size_t kMaxReasonBytes = 32;
    static constexpr std::size_t kMaxByeTextBytes = 4096;

    std::string reason;
    std::string text;
};
std::string WriteBye(const ByeMessage& bye);
ByeMessage ReadBye(std::string_view payload);

// The reasons of BYE.
inline constexpr std::string_view kByeStopping = "stopping"; // the server is being stopped
inline constexpr std::string_view kByeEvicted = "evicted";   // a newer login took its place

// GETHISTORY carries the task's name byte for byte as QUESTLIST gave it.
std::string WriteHistoryRequest(std::string_view taskName);

// HISTORY: the student's stored submissions at one task, oldest first. The payload is a
// run of fields, each written as a frame ("<TAG:LENGTH>TEXT"), so that no text needs
// escaping: TASK (the task's name) first, then per submission TIME (when it came, ISO 8601
// in UTC), ANSWERS (its SETRESULTQUEST payload as sent), VERDICTS (each row's verdict,
// "NAME: верно; NAME: неверно") and SCORE (its credit as the student reads it, "2,4 из 3").
// VERDICTS and SCORE are empty while the course withholds results.
//
// A reader never trusts it: TIME opens the next submission, a field before the first
// TIME other than TASK is passed by, and so is a tag it does not know; every text is cut
// to its limit, at most kMaxEntries submissions are read, and reading stops at the first
// field whose header is not whole and well formed (what was read before it stays).
struct HistoryEntry {
    std::string time;
    std::string answers;
    std::string verdicts;
    std::string score;
};
struct HistoryMessage {
    static constexpr std::size_t kMaxEntries = 50;
    static constexpr std::size_t kMaxTaskBytes = 256;
    static constexpr std::size_t kMaxTimeBytes = 32;
    static constexpr std::size_t kMaxAnswersBytes = 16 * 1024;
    static constexpr std::size_t kMaxVerdictsBytes = 4096;
    static constexpr std::size_t kMaxScoreBytes = 64;

    std::string task;
    std::vector<HistoryEntry> entries;
};
std::string WriteHistory(const HistoryMessage& history);
HistoryMessage ReadHistory(std::string_view payload);

// GETSOLUTION carries the task's name byte for byte as QUESTLIST gave it.
std::string WriteSolutionRequest(std::string_view taskName);

// SOLUTION: a task's solution on the student's own variant, written as HISTORY's fields
// are: TASK (the task's name) and IMAGE (its diagram as QUEST carries it) first, then per
// answer row ROW (its name as REQUEST gives it) and ANSWER (the reference answer as
// formula text), then DRAW (what a right drawing holds, as the task's DRAW section with
// the variant's values) and DRAWN (the entries of the student's last submitted drawing,
// each ended by ";"), both only for a task with a drawn answer.
//
// A reader never trusts it: ANSWER belongs to the ROW before it and is passed by without
// one, tags it does not know are passed by, every text is cut to its limit, rows past
// kMaxRows are passed by, and reading stops at the first field that is not whole and well
// formed.
struct SolutionRow {
    std::string name;
    std::string answer;
};
struct SolutionMessage {
    static constexpr std::size_t kMaxRows = 50;
    static constexpr std::size_t kMaxTaskBytes = 256;
    static constexpr std::size_t kMaxImageBytes = 256 * 1024;
    static constexpr std::size_t kMaxNameBytes = 256;
    static constexpr std::size_t kMaxAnswerBytes = 4096;
    static constexpr std::size_t kMaxDrawBytes = 16 * 1024;

    std::string task;
    std::string image;
    std::vector<SolutionRow> rows;
    std::string draw;
    std::string drawn;
};
std::string WriteSolution(const SolutionMessage& solution);
SolutionMessage ReadSolution(std::string_view payload);

// SOLUTIONREADY: the name of a task whose solution the student may ask for from now on
// (read up to SolutionMessage::kMaxTaskBytes).
std::string WriteSolutionReady(std::string_view taskName);
std::string ReadSolutionReady(std::string_view payload);
