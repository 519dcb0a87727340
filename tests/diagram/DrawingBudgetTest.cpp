// The work budget of a picture: hostile scripts end quickly with the picture so far and a
// message, and what no surface can show costs no drawing.

#include "diagram/DrawingBudget.h"
#include "diagram/DiagramDocument.h"
#include "diagram/DrawingContext.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>

using namespace diagram;
using platform::CanvasCall;
using platform::RecordingCanvas;

namespace {

struct Picture {
    Picture() {
        InitContext(context);
        AttachCanvas(context, canvas);
    }
    // The message the statements stopped with, or empty text.
    std::string Draw(const std::string& statements) {
        const platform::Status drawn = DrawDiagramStatements(context, statements);
        if (drawn)
            return {};
        EXPECT_TRUE(drawn.Error().Is(ErrorCode::TooComplex)) << drawn.Error().message;
        return drawn.Error().message;
    }
    std::size_t Lines() const {
        std::size_t lines = 0;
        for (const CanvasCall& call : canvas.Calls())
            lines += call.kind == CanvasCall::Kind::Line;
        return lines;
    }
    RecordingCanvas canvas;
    DrawingContext context;
};

std::string Repeated(const std::string& statement, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += statement;
    return text;
}

} // namespace

TEST(DrawingBudgetTest, CirclesThatNoSurfaceCanShowAreTold) {
    EXPECT_TRUE(CircleMeetsSurfaces(150, 80, 30));
    EXPECT_FALSE(CircleMeetsSurfaces(150, 80, 1'000'000'000));           // every surface inside it
    EXPECT_FALSE(CircleMeetsSurfaces(-50'000, 80, 100));                 // far off every surface
    EXPECT_TRUE(CircleMeetsSurfaces(-1'000'000'000, 80, 1'000'000'100)); // its rim passes by
    EXPECT_TRUE(CircleMeetsSurfaces(150, 80, -30));                      // the size counts
}

TEST(DrawingBudgetTest, AnArcPastEverySurfaceDrawsOnlyItsHead) {
    Picture picture;
    EXPECT_EQ(picture.Draw("CARROW(150,80,1000000000,0,360);"), "");
    EXPECT_EQ(picture.Lines(), 2u);
    // The arc that can be seen is drawn chord by chord.
    EXPECT_EQ(picture.Draw("CARROW(150,80,20,0,90);"), "");
    EXPECT_EQ(picture.Lines(), 2u + 200u + 2u);
}

TEST(DrawingBudgetTest, TenThousandHugeArcsStopAtThePrimitiveCapWithThePictureSoFar) {
    Picture picture;
    const std::string message = picture.Draw(Repeated("CARROW(150,80,1000000000,0,360);", 10000));
    EXPECT_EQ(message, kPictureTooComplex);
    EXPECT_EQ(picture.Lines(), 2u * kMaxPrimitives);
    EXPECT_EQ(picture.context.budget.primitivesLeft, 0);
}

// Reading a statement costs its length whether or not it draws anything, so statements
// the interpreter does not know, or endless parameter lists, are paid as well.
TEST(DrawingBudgetTest, EveryStatementAndItsTextArePaid) {
    Picture unknown;
    EXPECT_EQ(unknown.Draw(Repeated("NOTHING(1,2);", kMaxPrimitives)), "");
    EXPECT_EQ(unknown.Draw("LINE(1,1,5,5);"), kPictureTooComplex);
    EXPECT_EQ(unknown.Lines(), 0u);

    Picture empty;
    EXPECT_EQ(empty.Draw(std::string(kMaxPrimitives + 1, ';')), kPictureTooComplex);

    Picture text;
    const std::string half = "TEXT(1,1,\"" + std::string(kMaxStatementText / 2, 'W') + "\");";
    EXPECT_EQ(text.Draw("LINE(1,1,5,5);" + half), "");
    EXPECT_EQ(text.Draw(half + "LINE(1,1,5,5);"), kPictureTooComplex);
    EXPECT_EQ(text.Lines(), 1u);
    // Past the text, no further statement is taken, however short.
    EXPECT_EQ(text.Draw("LINE(1,1,5,5);"), kPictureTooComplex);
    EXPECT_EQ(text.Lines(), 1u);
}

TEST(DrawingBudgetTest, LinePiecesAreCountedAcrossStatements) {
    Picture picture;
    // Each arc, capped, is 100,000 chords and its head: one fits, the second does not.
    const std::string arc = "CARROW(0,0,12000,0,90);";
    EXPECT_EQ(picture.Draw(arc), "");
    EXPECT_EQ(picture.Draw("LINE(1,1,5,5);" + arc), kPictureTooComplex);
    const std::size_t drawn = picture.Lines();
    EXPECT_EQ(drawn, 100'003u);
    // Past the budget nothing more is drawn, until the next picture starts.
    EXPECT_EQ(picture.Draw("LINE(1,1,5,5);"), kPictureTooComplex);
    EXPECT_EQ(picture.Lines(), drawn);
    StartPicture(picture.context);
    EXPECT_EQ(picture.Draw("LINE(1,1,5,5);"), "");
    EXPECT_EQ(picture.Lines(), drawn + 1);
}

TEST(DrawingBudgetTest, EveryDocumentDrawnStartsWithTheWholeBudget) {
    RecordingCanvas canvas;
    DrawingContext context;
    InitContext(context);
    const std::string statements = Repeated("LINE(1,1,5,5);", kMaxPrimitives);
    for (int round = 0; round < 2; ++round)
        EXPECT_TRUE(DrawDiagramDocument(context, canvas, {}, statements));
}

// A pen wider than any surface is drawn as wide as one can show, and paid by its width.
TEST(DrawingBudgetTest, HugePensAreNarrowedAndPaidByTheirWidth) {
    Picture picture;
    EXPECT_EQ(picture.Draw("ADVLINE(0,0,100,100,0,2000000000);"), "");
    ASSERT_EQ(picture.Lines(), 1u);
    EXPECT_EQ(picture.canvas.Calls().back().penWidth, kMaxPenWidth);
    EXPECT_EQ(picture.context.budget.segmentsLeft, kMaxSegments - WideLineCost(kMaxPenWidth));
    EXPECT_EQ(picture.Draw(Repeated("ADVLINE(0,0,100,100,0,2000000000);", 1000)),
              kPictureTooComplex);
    EXPECT_LT(picture.Lines(), 1000u);
}

TEST(DrawingBudgetTest, HugeCirclesBecomeWhatTheSurfaceShowsOfThem) {
    Picture picture;
    // Covering every surface: its brush over all of them, its rim beyond.
    EXPECT_EQ(picture.Draw("CIRCLE(150,80,1000000000);"), "");
    ASSERT_EQ(picture.canvas.Calls().size(), 1u);
    const CanvasCall& cover = picture.canvas.Calls()[0];
    EXPECT_EQ(cover.kind, CanvasCall::Kind::Rectangle);
    EXPECT_LT(cover.x1, -100);
    EXPECT_GT(cover.x2, static_cast<int>(kSurfaceReach));
    // Passing by every surface: nothing.
    EXPECT_EQ(picture.Draw("CIRCLE(-50000,80,100);OBJECT_CIRCLE(80,-50000,100);"), "");
    EXPECT_EQ(picture.canvas.Calls().size(), 2u); // only the second one's pin
    // A rim that crosses them is paid by its radius: this one costs more than a picture.
    EXPECT_EQ(picture.Draw("CIRCLE(-999999850,80,1000000000);"), kPictureTooComplex);
    EXPECT_EQ(picture.canvas.Calls().size(), 2u);
}
