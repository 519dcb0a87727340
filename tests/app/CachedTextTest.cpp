// Formula fields and task statements drawn through the application's font cache and drawn
// plainly (every font made anew, every text measured and shaped anew, as the canvas does
// without a cache) come out pixel for pixel the same. Both are drawn in the same run, with
// this machine's fonts.

#include "eqedit/EditModel.h"
#include "platform/Cp1251.h"
#include "platform/FontCache.h"
#include "platform/QtCanvas.h"
#include "tasklayout/QuestTextLayout.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::FontCache;
using platform::QtCanvas;

namespace {

struct FieldPicture {
    QImage image;
    eqedit::CaretShape caret;
    int firstVisible = 0;
};

// The field as the formula editor keeps it after the keys, painted; measured and painted
// through `fonts` (nullptr: plainly).
FieldPicture PaintField(const std::string& formula, int lefts, FontCache* fonts) {
    QImage measureSurface(1, 1, QImage::Format_RGB32);
    QtCanvas measure(&measureSurface, fonts);
    eqedit::EditModel model(measure);
    model.SetSize(300, 27);
    for (char c : formula) {
        if (eqedit::IsLevelMarker(c))
            model.Apply(c == eqedit::kSuperscriptMarker ? eqedit::EditCommand::LevelUp
                                                        : eqedit::EditCommand::LevelDown);
        else if (c == eqedit::kGreekPrefix)
            model.Apply(eqedit::EditCommand::Greek);
        else
            model.KeyPress(c);
    }
    for (int i = 0; i < lefts; ++i)
        model.Apply(eqedit::EditCommand::Left);
    FieldPicture picture{QImage(300, 27, QImage::Format_RGB32), {}, 0};
    {
        QtCanvas canvas(&picture.image, fonts);
        picture.caret = model.Paint(canvas);
    }
    picture.firstVisible = model.FirstVisible();
    return picture;
}

QImage PaintStatement(const std::string& quest, int width, FontCache* fonts) {
    QImage measureSurface(1, 1, QImage::Format_RGB32);
    QtCanvas measure(&measureSurface, fonts);
    const QuestTextLayout layout = LayoutQuestText(quest, width, measure);
    QImage image(width - 10, layout.height, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    QtCanvas canvas(&image, fonts);
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
    DrawQuestText(canvas, layout);
    return image;
}

} // namespace

TEST(CachedTextTest, FormulaFieldsLookTheSameThroughTheCache) {
    FontCache cache;
    const std::string formulas[] = {
        "",
        "m*g*sin(~a)+v#2@/r",
        "~w!0@#2@*t+~f-~q",
        platform::Utf8ToCp1251("F!тр@=~m*N+Ж/Я"),
        // Long enough to scroll, with levels and Greek letters all along.
        [] {
            std::string text;
            for (int i = 0; i < 30; ++i)
                text += "a!" + std::to_string(i) + "@*~w#2@+";
            return text;
        }(),
    };
    for (const std::string& formula : formulas) {
        for (int lefts : {0, 3, 40, 400}) {
            const FieldPicture cached = PaintField(formula, lefts, &cache);
            const FieldPicture again = PaintField(formula, lefts, &cache);
            const FieldPicture plain = PaintField(formula, lefts, nullptr);
            EXPECT_TRUE(cached.image == plain.image) << formula << " lefts " << lefts;
            EXPECT_TRUE(again.image == plain.image) << formula << " lefts " << lefts;
            EXPECT_EQ(cached.firstVisible, plain.firstVisible) << formula;
            EXPECT_EQ(cached.caret.x, plain.caret.x) << formula << " lefts " << lefts;
            EXPECT_EQ(cached.caret.y, plain.caret.y) << formula;
            EXPECT_EQ(cached.caret.height, plain.caret.height) << formula;
        }
    }
}

TEST(CachedTextTest, StatementsWrapAndLookTheSameThroughTheCache) {
    FontCache cache;
    const std::string statement = platform::Utf8ToCp1251(
        "Балка AB длиной l = 4 м закреплена шарнирно в точке A и опирается на каток в точке "
        "B. К балке приложены сила F = 10 кН под углом <sym>a</sym> = 30° и пара сил с "
        "моментом M = 5 кН·м. |Найти реакции опор R!A и R!B. AVAVAVAVAVA To To To WAVE "
        "<sym>wpqfj</sym> ω ёЁ «кавычки» — тире, и ещё одно очень-очень-длинное-слово-без-"
        "пробелов-которое-не-помещается-на-одной-строке.");
    for (int width : {463, 300, 180}) {
        const QImage cached = PaintStatement(statement, width, &cache);
        const QImage again = PaintStatement(statement, width, &cache);
        const QImage plain = PaintStatement(statement, width, nullptr);
        EXPECT_EQ(cached.size(), plain.size()) << width;
        EXPECT_TRUE(cached == plain) << width;
        EXPECT_TRUE(again == plain) << width;
    }
}
