#include "DiagramProbe.h"

#include "diagram/DiagramDocument.h"
#include "diagram/DrawingContext.h"
#include "platform/Convert.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace diagram;
using platform::CanvasCall;
using platform::RecordingCanvas;

namespace {

// A context attached to a recording canvas whose brush is clear, as the task view leaves it.
struct Recorded {
    Recorded() {
        canvas.SetBrushStyle(platform::BrushStyle::Clear);
        InitContext(context);
        AttachCanvas(context, canvas);
    }
    platform::Result<bool> Run(std::string_view statement) {
        return DrawPrimitive(context, statement);
    }
    bool Draw(std::string_view statement) {
        const platform::Result<bool> drawn = Run(statement);
        return drawn && *drawn;
    }
    std::string ErrorOf(std::string_view statement) {
        const platform::Result<bool> drawn = Run(statement);
        return drawn ? "(no error)" : drawn.Error().message;
    }
    RecordingCanvas canvas;
    DrawingContext context;
};

} // namespace

TEST(InterpreterTest, KeywordIsTheExactTextBeforeTheFirstParenthesis) {
    Recorded r;
    EXPECT_TRUE(r.Draw("LINE(10,20,30,40);"));
    ASSERT_EQ(r.canvas.Calls().size(), 1u);
    const CanvasCall& line = r.canvas.Calls()[0];
    EXPECT_EQ(line.kind, CanvasCall::Kind::Line);
    EXPECT_EQ(line.x1, 10);
    EXPECT_EQ(line.y1, 20);
    EXPECT_EQ(line.x2, 30);
    EXPECT_EQ(line.y2, 40);
    for (std::string_view skipped :
         {"line(10,20,30,40);", " LINE(10,20,30,40);", "\nLINE(10,20,30,40);", "LINE 10,20,30,40;",
          "LINES(1,2,3,4);", "(1,2,3,4);", ""})
        EXPECT_FALSE(r.Draw(skipped)) << skipped;
    EXPECT_EQ(r.canvas.CallCount(), 1u);
}

TEST(InterpreterTest, OneFinalSemicolonAndThenOneParenthesisAreStripped) {
    Recorded r;
    r.Draw("CIRCLE(50,50,10)");
    r.Draw("CIRCLE(50,50,10);");
    r.Draw("CIRCLE(50,50,10");
    r.Draw("TEXT(1,2,\"f(x)\");");
    r.Draw("TEXT(1,2,f(x));");
    r.Draw("TEXT(1,2,g(y)");
    const auto& calls = r.canvas.Calls();
    ASSERT_EQ(calls.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(calls[i].kind, CanvasCall::Kind::Ellipse);
        EXPECT_EQ(calls[i].x1, 40);
        EXPECT_EQ(calls[i].y2, 61);
    }
    EXPECT_EQ(calls[3].text, "f(x)");
    EXPECT_EQ(calls[4].text, "f(x)");
    EXPECT_EQ(calls[5].text, "g(y");
    // Too many closing characters: the surplus stays on the last parameter.
    EXPECT_EQ(r.ErrorOf("LINE(1,2,3,4));"), "'4)' is not a valid integer value");
}

TEST(InterpreterTest, ParametersFailAtTheFirstBadOneWithTheConversionMessage) {
    Recorded r;
    EXPECT_EQ(r.ErrorOf("LINE(1,2,3);"), "'' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("LINE(1,2,3,4,5);"), "'4,5' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("LINE(1,x,3,y);"), "'x' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("LINE(1, 2,3 ,4);"), "'3 ' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("CIRCLE(1,2,99999999999);"), "'99999999999' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("ARROW(1,2,3,north);"), "'north' is not a valid floating point value");
    EXPECT_EQ(r.ErrorOf("CARROW(1,2,3,,90);"), "'' is not a valid floating point value");
    EXPECT_EQ(r.ErrorOf("ARROWBL(1,2,3,1E400);"), "'1E400' is not a valid floating point value");
    EXPECT_EQ(r.ErrorOf("GROUND(100,150,80);"), "'' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("GROUND(100,150,80,z);"), "'z' is not a valid integer value");
    EXPECT_EQ(r.ErrorOf("SHARNIR(1);"), "'' is not a valid integer value");
    EXPECT_EQ(r.canvas.CallCount(), 0u);
}

TEST(InterpreterTest, ReadingACharacterOfAnEmptyTextIsARangeError) {
    Recorded r;
    for (std::string_view statement :
         {"LINE(", "LINE(;", "SOMETHING(", "TEXT(1,2,);", "TEXT(1,2,)", "GREKTEXT(5,5,"}) {
        const std::string message = r.ErrorOf(statement);
        EXPECT_EQ(message.rfind("Range check error", 0), 0u) << statement << ": " << message;
    }
    EXPECT_EQ(r.canvas.CallCount(), 0u);
    // GREKTEXT had already chosen the Symbol font when its text turned out empty.
    EXPECT_EQ(r.canvas.GetFont().name, "Symbol");
    EXPECT_EQ(r.canvas.GetFont().size, 8 + 6);
}

TEST(InterpreterTest, AFailedStatementKeepsWhatItDrewAndSetButTheNextStartsAfresh) {
    Recorded r;
    r.canvas.SetPenColor(platform::Rgb(1, 2, 3));
    EXPECT_FALSE(r.Run("ARROW(1,2,3,4x);").Ok());
    EXPECT_EQ(r.canvas.CallCount(), 0u);
    EXPECT_EQ(r.canvas.PenColor(), platform::Rgb(1, 2, 3));
    EXPECT_TRUE(r.Run("GREKTEXT(1,1,);").Error().Is(ErrorCode::Parameter));
    EXPECT_TRUE(r.Draw("TEXT(3,4,'a');"));
    EXPECT_EQ(r.canvas.Calls().back().font.name, "Symbol");
    EXPECT_TRUE(r.Draw("GREKTEXT(3,4,'a');"));
    EXPECT_EQ(r.canvas.GetFont().name, "MS Sans Serif");
    EXPECT_EQ(r.canvas.GetFont().size, 8);
}

TEST(InterpreterTest, AnglesTakeThePointAsWellAsTheLocaleSeparator) {
    const auto arrowLines = [](std::string_view statement) {
        Recorded r;
        r.Draw(statement);
        std::string lines;
        for (const CanvasCall& call : r.canvas.Calls())
            lines += std::to_string(call.x2) + "," + std::to_string(call.y2) + " ";
        return lines;
    };
    const std::string pointForm = arrowLines("ARROWBL(100,100,50,30.5);");
    EXPECT_NE(pointForm, arrowLines("ARROWBL(100,100,50,30);"));
    platform::SetDecimalChar(',');
    EXPECT_EQ(arrowLines("ARROWBL(100,100,50,30.5);"), pointForm);
    EXPECT_EQ(arrowLines("ARROWBL(100,100,50,30,5);"), pointForm);
    platform::SetDecimalChar('.');
}

TEST(InterpreterTest, ContextCapturesAndRestoresTheAttachTimeFont) {
    DrawingContext context;
    InitContext(context);
    EXPECT_FALSE(DrawPrimitive(context, "LINE(1,2,3,4);").Value());
    RestoreFont(context);
    SelectGreekFont(context);

    RecordingCanvas canvas;
    canvas.SetFont(platform::Font{"Arial", 12});
    canvas.SetBrushColor(platform::Rgb(9, 9, 9));
    AttachCanvas(context, canvas);
    EXPECT_EQ(context.SavedFontName, "Arial");
    EXPECT_EQ(context.SavedFontSize, 12);
    EXPECT_EQ(context.SavedBrushColor, platform::Rgb(9, 9, 9));
    SelectGreekFont(context);
    SelectGreekFont(context);
    EXPECT_EQ(canvas.GetFont().name, "Symbol");
    EXPECT_EQ(canvas.GetFont().size, 24);
    RestoreFont(context);
    EXPECT_EQ(canvas.GetFont().name, "Arial");
    EXPECT_EQ(canvas.GetFont().size, 12);

    RecordingCanvas nameless;
    nameless.SetFont(platform::Font{"", 10});
    AttachCanvas(context, nameless);
    SelectGreekFont(context);
    RestoreFont(context);
    EXPECT_EQ(nameless.GetFont().name, "Symbol");
    EXPECT_TRUE(DrawPrimitive(context, "LINE(1,2,3,4);").Value());
    EXPECT_EQ(canvas.CallCount(), 0u);
    EXPECT_EQ(nameless.CallCount(), 1u);
    EXPECT_EQ(MakeColor(195, 220, 98), FrameColor);
    EXPECT_EQ(MakeColor(1, 2, 3), 1u + 2u * 256 + 3u * 65536);
}

TEST(DocumentTest, HeaderGivesTheSizeOnlyInItsOwnOrder) {
    const auto read = [](std::string document, std::string expectRest) {
        const DiagramSize size = ReadDiagramHeader(document).Value();
        EXPECT_EQ(document, expectRest);
        return std::to_string(size.width) + "x" + std::to_string(size.height);
    };
    EXPECT_EQ(read("HEIGHT(200);WIDTH(400);LINE(1,2,3,4);", "LINE(1,2,3,4);"), "400x200");
    EXPECT_EQ(read("WIDTH(400);HEIGHT(200);", "HEIGHT(200);"), "400x160");
    EXPECT_EQ(read("HEIGHT(90);CIRCLE(1,1,1);", "CIRCLE(1,1,1);"), "300x90");
    EXPECT_EQ(read("", ""), "300x160");
    EXPECT_EQ(read(" HEIGHT(200);", " HEIGHT(200);"), "300x160");
    EXPECT_EQ(read("HEIGHT(200)", ""), "300x200");
    EXPECT_EQ(read("HEIGHT(200)\nWIDTH(50);", ""), "50x200");
    std::string negative = "HEIGHT(-5);";
    EXPECT_FALSE(IsDrawableSize(ReadDiagramHeader(negative).Value()));
    EXPECT_FALSE(IsDrawableSize(DiagramSize{kMaxDiagramSide + 1, 10}));
    EXPECT_TRUE(IsDrawableSize(DiagramSize{kMaxDiagramSide, 1}));
    std::string bad = "HEIGHT(200;WIDTH(3);";
    EXPECT_FALSE(ReadDiagramHeader(bad).Ok());
    std::string unclosed = "HEIGHT(200;";
    EXPECT_EQ(ReadDiagramHeader(unclosed).Error().message, "'' is not a valid integer value");
}

TEST(DocumentTest, StatementsRunInOrderUntilTheFirstError) {
    Recorded r;
    EXPECT_TRUE(
        DrawDiagramStatements(r.context, "LINE(1,1,2,2);WIDTH(5);\nLINE(3,3,4,4);LINE(5,5,6,6)"));
    ASSERT_EQ(r.canvas.Calls().size(), 2u);
    EXPECT_EQ(r.canvas.Calls()[1].x1, 5);

    Recorded failing;
    const platform::Status stopped =
        DrawDiagramStatements(failing.context, "LINE(1,1,2,2);LINE(a,1,1,1);LINE(5,5,6,6);");
    EXPECT_EQ(stopped.Error().message, "'a' is not a valid integer value");
    EXPECT_TRUE(stopped.Error().Is(ErrorCode::Parameter));
    EXPECT_EQ(failing.canvas.CallCount(), 1u);

    Recorded tail;
    EXPECT_TRUE(DrawDiagramStatements(tail.context, "LINE(1,1,2,2);\r\n"));
    EXPECT_EQ(tail.canvas.CallCount(), 1u);
}

TEST(DocumentTest, FrameIsDrawnAsTheTaskViewShowsIt) {
    QImage image(300, 160, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        platform::QtCanvas canvas(&image);
        DrawingContext context;
        InitContext(context);
        EXPECT_TRUE(DrawDiagramDocument(context, canvas, DiagramSize{}, ""));
        EXPECT_EQ(context.SavedBrushColor, platform::kWhite);
        EXPECT_EQ(canvas.GetBrushStyle(), platform::BrushStyle::Clear);
    }
    using diagram_test::At;
    for (int x : {0, 1, 3, 296, 298, 299})
        EXPECT_EQ(At(image, x, 80), platform::kBlack) << x;
    for (int x : {2, 4, 150, 295, 297})
        EXPECT_EQ(At(image, x, 80), FrameColor) << x;
    for (int y : {0, 1, 3, 156, 158, 159})
        EXPECT_EQ(At(image, 150, y), platform::kBlack) << y;
    EXPECT_EQ(At(image, 150, 157), FrameColor);
}

// Statements built from pieces that hit the reading rules, with extreme numbers: every
// statement ends, and the only failures are the client's own errors. The same run on a
// real surface checks the pixel paths with coordinates anywhere in the integer range.
std::string RandomStatement(std::mt19937& random) {
    static const std::vector<std::string> keywords = {
        "LINE",     "CARROW",    "ARROW",   "OBJECT_CIRCLE", "OBJECT_DOUBLE_CIRCLE",
        "GREKTEXT", "TEXT",      "CIRCLE",  "GROUND",        "ADVLINE",
        "VTULKA",   "RECTANGLE", "SHARNIR", "ARROWBL",       "X"};
    static const std::vector<std::string> pieces = {
        "0",  "1", "-1", "2147483647", "-2147483648", "7", "90",  "1.5", "1e300",  "",
        "\"", "'", "(",  ")",          ";",           "a", "300", "-40", "100000", "2"};
    std::string statement = keywords[random() % keywords.size()] + "(";
    const int count = static_cast<int>(random() % 8);
    for (int k = 0; k < count; ++k)
        statement += pieces[random() % pieces.size()] + (random() % 5 ? "," : "");
    if (random() % 2)
        statement += ");";
    return statement;
}

int DrawRandomStatements(DrawingContext& context, int count) {
    std::mt19937 random(12345);
    int errors = 0;
    for (int i = 0; i < count; ++i) {
        if (!DrawPrimitive(context, RandomStatement(random)))
            ++errors;
    }
    return errors;
}

TEST(DocumentTest, RandomStatementsEndWithDrawingOrWithTheClientsOwnError) {
    RecordingCanvas canvas;
    canvas.keepAtMost = 0;
    DrawingContext context;
    InitContext(context);
    AttachCanvas(context, canvas);
    EXPECT_GT(DrawRandomStatements(context, 20000), 0);
    EXPECT_GT(canvas.CallCount(), 0u);

    diagram_test::Surface surface;
    EXPECT_GT(DrawRandomStatements(surface.context, 5000), 0);
    EXPECT_FALSE(surface.Finish().isNull());
}
