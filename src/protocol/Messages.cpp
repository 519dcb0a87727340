#include "protocol/Messages.h"

#include "protocol/Frames.h"
#include "protocol/Sections.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<std::pair<std::string_view, MessageKind>, 16> kTags = {{
    {"LOGIN", MessageKind::Login},
    {"GETQUESTLIST", MessageKind::GetQuestList},
    {"GETQUEST", MessageKind::GetQuest},
    {"SETRESULTQUEST", MessageKind::SetResultQuest},
    {"QUEST", MessageKind::Quest},
    {"MESSAGE", MessageKind::Text},
    {"QUESTLIST", MessageKind::QuestList},
    {"RELOG", MessageKind::Relog},
    {"BYE", MessageKind::Bye},
    {"FEATURES", MessageKind::Features},
    {"DEVICE", MessageKind::Device},
    {"GETHISTORY", MessageKind::GetHistory},
    {"HISTORY", MessageKind::History},
    {"GETSOLUTION", MessageKind::GetSolution},
    {"SOLUTION", MessageKind::Solution},
    {"SOLUTIONREADY", MessageKind::SolutionReady},
}};

bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

// One field of a HISTORY or SOLUTION payload: its tag and text, cut from the front of `rest`;
// nullopt when the rest does not begin with a whole, well-formed field.
struct HistoryField {
    std::string_view tag;
    std::string_view text;
};
constexpr std::size_t kMaxFieldLengthDigits = 8;

std::optional<HistoryField> TakeField(std::string_view& rest) {
    if (rest.empty() || rest.front() != '<')
        return std::nullopt;
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos || colon < 2 ||
        colon > static_cast<std::size_t>(FrameReceiver::MaxTagLength) + 1)
        return std::nullopt;
    const std::size_t close = rest.find('>', colon);
    if (close == std::string_view::npos || close == colon + 1 ||
        close - colon - 1 > kMaxFieldLengthDigits)
        return std::nullopt;
    const std::string_view tag = rest.substr(1, colon - 1);
    if (tag.find('>') != std::string_view::npos)
        return std::nullopt;
    std::size_t length = 0;
    for (const char c : rest.substr(colon + 1, close - colon - 1)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        length = length * 10 + static_cast<std::size_t>(c - '0');
    }
    if (length > rest.size() - close - 1)
        return std::nullopt;
    const HistoryField field{tag, rest.substr(close + 1, length)};
    rest.remove_prefix(close + 1 + length);
    return field;
}

std::string Cut(std::string_view text, std::size_t limit) {
    return std::string(text.substr(0, limit));
}

} // namespace

MessageKind KindOf(std::string_view frame) {
    if (frame.empty())
        return MessageKind::Unknown;
    const std::size_t colon = std::min(frame.find(':'), frame.size());
    const std::string_view tag = frame.substr(1, colon > 0 ? colon - 1 : 0);
    for (const auto& [known, kind] : kTags)
        if (tag == known)
            return kind;
    return MessageKind::Unknown;
}

std::string_view PayloadOf(std::string_view frame) {
    const std::size_t close = frame.find('>');
    return close == std::string_view::npos ? std::string_view() : frame.substr(close + 1);
}

std::string WriteLogin(const LoginMessage& login) {
    return BuildFrame("LOGIN", login.user + ";" + login.password);
}

LoginMessage ReadLogin(std::string_view payload) {
    const std::size_t semicolon = payload.find(';');
    if (semicolon == std::string_view::npos)
        return {std::string(payload), {}};
    return {std::string(payload.substr(0, semicolon)), std::string(payload.substr(semicolon + 1))};
}

std::string WriteTaskListRequest() {
    return BuildFrame("GETQUESTLIST", "1");
}

std::string WriteTaskRequest(std::string_view taskName) {
    return BuildFrame("GETQUEST", taskName);
}

std::string WriteSubmission(std::string_view resultPayload) {
    return BuildFrame("SETRESULTQUEST", resultPayload);
}

std::string WriteText(std::string_view text) {
    return BuildFrame("MESSAGE", text);
}

std::string WriteRelog() {
    return BuildFrame("RELOG", "");
}

std::string WriteTaskList(const std::vector<TaskListItem>& items) {
    std::string payload;
    for (const TaskListItem& item : items)
        payload +=
            item.sheetTag + WriteSection("NAME", item.name) + WriteSection("CAPTION", item.caption);
    return BuildFrame("QUESTLIST", payload);
}

bool Features::Has(std::string_view word) const {
    return std::any_of(words.begin(), words.end(),
                       [word](const auto& named) { return named.first == word; });
}

std::string Features::ValueOf(std::string_view word) const {
    for (const auto& [named, value] : words)
        if (named == word)
            return value;
    return {};
}

std::string WriteFeatures(const Features& features) {
    std::string payload;
    for (const auto& [word, value] : features.words) {
        if (!payload.empty())
            payload += ';';
        payload += word;
        if (!value.empty())
            payload += '=' + value;
    }
    return BuildFrame("FEATURES", payload);
}

Features ReadFeatures(std::string_view payload) {
    payload = payload.substr(0, Features::kMaxFeaturesBytes);
    Features features;
    while (!payload.empty() && features.words.size() < Features::kMaxFeatureWords) {
        const std::size_t end = std::min(payload.find(';'), payload.size());
        const std::string_view item = payload.substr(0, end);
        payload.remove_prefix(std::min(end + 1, payload.size()));
        const std::size_t equals = std::min(item.find('='), item.size());
        const std::string_view word = item.substr(0, equals);
        if (word.empty() || word.size() > Features::kMaxFeatureWordBytes ||
            !std::all_of(word.begin(), word.end(), IsWordByte) || features.Has(word))
            continue;
        const std::string_view value =
            equals < item.size() ? item.substr(equals + 1) : std::string_view();
        features.words.emplace_back(std::string(word), std::string(value));
    }
    return features;
}

std::string WriteBye(const ByeMessage& bye) {
    return BuildFrame("BYE", bye.reason + ";" + bye.text);
}

std::string WriteDevice(std::string_view token) {
    return BuildFrame("DEVICE", token);
}

std::string ReadDevice(std::string_view payload) {
    const bool valid = !payload.empty() && payload.size() <= kMaxDeviceTokenBytes &&
                       std::all_of(payload.begin(), payload.end(),
                                   [](char c) { return IsWordByte(c) && c != '-'; });
    return valid ? std::string(payload) : std::string();
}

ByeMessage ReadBye(std::string_view payload) {
    const std::size_t semicolon = std::min(payload.find(';'), payload.size());
    ByeMessage bye;
    bye.reason = std::string(payload.substr(0, std::min(semicolon, ByeMessage::kMaxReasonBytes)));
    if (semicolon < payload.size())
        bye.text = std::string(payload.substr(semicolon + 1, ByeMessage::kMaxByeTextBytes));
    return bye;
}

std::string WriteHistoryRequest(std::string_view taskName) {
    return BuildFrame("GETHISTORY", taskName);
}

std::string WriteHistory(const HistoryMessage& history) {
    std::string payload = BuildFrame("TASK", history.task);
    for (const HistoryEntry& entry : history.entries)
        payload += BuildFrame("TIME", entry.time) + BuildFrame("ANSWERS", entry.answers) +
                   BuildFrame("VERDICTS", entry.verdicts) + BuildFrame("SCORE", entry.score);
    return BuildFrame("HISTORY", payload);
}

HistoryMessage ReadHistory(std::string_view payload) {
    using H = HistoryMessage;
    HistoryMessage history;
    while (const std::optional<HistoryField> field = TakeField(payload)) {
        if (field->tag == "TIME") {
            if (history.entries.size() == H::kMaxEntries)
                break;
            history.entries.push_back({Cut(field->text, H::kMaxTimeBytes), {}, {}, {}});
        } else if (field->tag == "TASK" && history.entries.empty()) {
            history.task = Cut(field->text, H::kMaxTaskBytes);
        } else if (!history.entries.empty()) {
            HistoryEntry& entry = history.entries.back();
            if (field->tag == "ANSWERS")
                entry.answers = Cut(field->text, H::kMaxAnswersBytes);
            else if (field->tag == "VERDICTS")
                entry.verdicts = Cut(field->text, H::kMaxVerdictsBytes);
            else if (field->tag == "SCORE")
                entry.score = Cut(field->text, H::kMaxScoreBytes);
        }
    }
    return history;
}

std::string WriteSolutionRequest(std::string_view taskName) {
    return BuildFrame("GETSOLUTION", taskName);
}

std::string WriteSolution(const SolutionMessage& solution) {
    std::string payload = BuildFrame("TASK", solution.task) + BuildFrame("IMAGE", solution.image);
    for (const SolutionRow& row : solution.rows)
        payload += BuildFrame("ROW", row.name) + BuildFrame("ANSWER", row.answer);
    if (!solution.draw.empty() || !solution.drawn.empty())
        payload += BuildFrame("DRAW", solution.draw) + BuildFrame("DRAWN", solution.drawn);
    return BuildFrame("SOLUTION", payload);
}

SolutionMessage ReadSolution(std::string_view payload) {
    using S = SolutionMessage;
    SolutionMessage solution;
    bool rowOpen = false; // an ANSWER belongs to the ROW just before it
    while (const std::optional<HistoryField> field = TakeField(payload)) {
        const bool answer = field->tag == "ANSWER";
        if (field->tag == "ROW") {
            if (solution.rows.size() == S::kMaxRows) { // rows past the limit are passed by
                rowOpen = false;
                continue;
            }
            solution.rows.push_back({Cut(field->text, S::kMaxNameBytes), {}});
        } else if (answer && rowOpen) {
            solution.rows.back().answer = Cut(field->text, S::kMaxAnswerBytes);
        } else if (field->tag == "TASK") {
            solution.task = Cut(field->text, S::kMaxTaskBytes);
        } else if (field->tag == "IMAGE") {
            solution.image = Cut(field->text, S::kMaxImageBytes);
        } else if (field->tag == "DRAW") {
            solution.draw = Cut(field->text, S::kMaxDrawBytes);
        } else if (field->tag == "DRAWN") {
            solution.drawn = Cut(field->text, S::kMaxDrawBytes);
        }
        rowOpen = field->tag == "ROW";
    }
    return solution;
}

std::string WriteSolutionReady(std::string_view taskName) {
    return BuildFrame("SOLUTIONREADY", taskName);
}

std::string ReadSolutionReady(std::string_view payload) {
    return Cut(payload, SolutionMessage::kMaxTaskBytes);
}
