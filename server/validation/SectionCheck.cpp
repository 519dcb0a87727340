#include "validation/SectionCheck.h"

#include "diagram/DiagramDocument.h"
#include "diagram/DrawingContext.h"
#include "platform/BracketDepth.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"
#include "platform/RecordingCanvas.h"
#include "tasklayout/AnswerRows.h"
#include "tasklayout/QuestImage.h"
#include "tasklayout/QuestTextLayout.h"

#include <string_view>

namespace {

std::string Utf8(std::string_view cp1251) {
    return platform::Cp1251ToUtf8(cp1251);
}

void CheckHeader(std::string& image, std::vector<std::string>& problems) {
    const QuestImageHeader header = ReadQuestImageHeader(image);
    if (!header.error.empty())
        problems.push_back("IMAGE: bad header: " + Utf8(header.error));
    if (header.sizeClamped)
        problems.push_back("IMAGE: bad header: each side of the diagram must lie in 1.." +
                           std::to_string(kMaxQuestImageSide));
}

// A canvas that only counts, with a context attached, for drawing as the client would.
struct CountingPicture {
    CountingPicture() {
        canvas.keepAtMost = 0;
        diagram::InitContext(context);
        diagram::AttachCanvas(context, canvas);
    }
    platform::RecordingCanvas canvas;
    diagram::DrawingContext context;
};

// Runs one statement on a canvas that only records, as the client would draw it.
void CheckStatement(std::string_view statement, std::vector<std::string>& problems) {
    if (!BracketsPair(statement))
        problems.push_back("IMAGE: brackets do not pair up: " + Utf8(statement));
    CountingPicture picture;
    try {
        if (!diagram::DrawPrimitive(picture.context, statement))
            problems.push_back("IMAGE: statement not understood (unknown keyword): " +
                               Utf8(statement));
    } catch (const platform::Error& error) {
        problems.push_back("IMAGE: statement not understood: " + Utf8(statement) + ": " +
                           Utf8(error.what()));
    }
}

// The whole picture as the task view draws it: the client stops a picture past its work
// budget and shows only the part before.
void CheckPictureBudget(std::string_view statements, std::vector<std::string>& problems) {
    CountingPicture picture;
    try {
        diagram::DrawDiagramStatements(picture.context, statements);
    } catch (const platform::Error& error) {
        if (std::string_view(error.what()) == diagram::kPictureTooComplex)
            problems.push_back("IMAGE: " + Utf8(error.what()) + " (at most " +
                               std::to_string(diagram::kMaxPrimitives) + " statements and " +
                               std::to_string(diagram::kMaxSegments) + " line pieces)");
    }
}

void CheckImage(std::string image, std::vector<std::string>& problems) {
    CheckHeader(image, problems);
    CheckPictureBudget(image, problems);
    std::string_view rest = image;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::size_t length = end == std::string_view::npos ? rest.size() : end + 1;
        CheckStatement(rest.substr(0, length), problems);
        rest.remove_prefix(length);
    }
}

void CheckRequest(std::string_view request, std::vector<std::string>& problems) {
    const std::size_t last = request.rfind(';');
    const std::string_view rest =
        last == std::string_view::npos ? request : request.substr(last + 1);
    if (!rest.empty())
        problems.push_back("REQUEST: text after the last \";\" is ignored: " + Utf8(rest));
    std::size_t names = 0;
    for (char c : request)
        names += c == ';' ? 1 : 0;
    if (names > kMaxAnswerRows)
        problems.push_back("REQUEST: " + std::to_string(names) + " answers; only the first " +
                           std::to_string(kMaxAnswerRows) + " get a row");
}

void CheckQuest(std::string_view quest, std::vector<std::string>& problems) {
    if (quest.size() > kMaxQuestTextBytes)
        problems.push_back("QUEST: the statement is cut after " +
                           std::to_string(kMaxQuestTextBytes) + " bytes");
    for (std::size_t open = quest.find('<'); open != std::string_view::npos;
         open = quest.find('<', open + 1)) {
        const std::size_t close = quest.find('>', open);
        const std::size_t next = quest.find('<', open + 1);
        if (close == std::string_view::npos || (next != std::string_view::npos && next < close))
            problems.push_back("QUEST: \"<\" without its \">\": " + Utf8(quest.substr(open, 20)));
    }
}

} // namespace

bool BracketsPair(std::string_view statement) {
    platform::BracketDepth depth;
    bool quoted = false;
    for (char c : statement) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            depth.Step(c);
        if (depth.Depth() < 0)
            return false;
    }
    return depth.Outside();
}

std::vector<std::string> CheckDiagram(const std::string& image) {
    std::vector<std::string> problems;
    CheckImage(image, problems);
    return problems;
}

std::vector<std::string> CheckSections(const QuestSections& task) {
    std::vector<std::string> problems;
    CheckQuest(task.quest, problems);
    CheckImage(task.image, problems);
    CheckRequest(task.request, problems);
    return problems;
}
