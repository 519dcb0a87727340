// vekta-animate: draws an animation the way the animation window shows it.
//   vekta-animate SCRIPT OUT.png [--t T] [--scale R]
// SCRIPT holds the animation script (the ANIMATE text of a task, CP1251). OUT.png is the
// window's bitmap, CANVAS_WIDTH x CANVAS_HEIGHT, drawn by the window's own player:
// without --t the still picture the window shows when it opens (OBJ and FIRSTOBJ, the
// equations evaluated once); with --t the frame of a run at model time T (OBJ, and LASTOBJ
// too once T has reached tend), drawn after the still picture as in the window. What
// loading left out and every error of a frame go to stderr; after an error the picture
// drawn so far is still written and the exit status is 1. With --scale R the bitmap is drawn
// as on a screen of device pixel ratio R: R times as many pixels each way, R in (0, 4].

#include "animation/AnimationBitmap.h"
#include "animation/AnimationPlayer.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"
#include "platform/TickCount.h"
#include "platform/VektaApplication.h"

#include "ScaleOption.h"
#include "ToolSupport.h"

#include <QImage>

#include <clocale>
#include <iostream>
#include <optional>
#include <string>

namespace {

struct Arguments {
    const char* script = nullptr;
    const char* png = nullptr;
    std::optional<long double> time;
};

int Usage() {
    std::cerr << "usage: vekta-animate SCRIPT OUT.png [--t T] [--scale R]\n";
    return 64;
}

std::optional<Arguments> ReadArguments(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--t"))
        return std::nullopt;
    Arguments arguments{argv[1], argv[2], std::nullopt};
    if (argc == 5) {
        try {
            arguments.time = platform::StrToFloat(argv[4]);
        } catch (const platform::Error&) {
            return std::nullopt;
        }
    }
    return arguments;
}

void Complain(const std::string& cp1251) {
    std::cerr << "vekta-animate: " << platform::Cp1251ToUtf8(cp1251) << '\n';
}

// The frames the window would draw; gives true when none of them failed. The still
// picture drawn before a run often fails the same way as the frame: a message is printed
// once.
bool Draw(animation::AnimationPlayer& player, const Arguments& arguments) {
    bool drawn = true;
    std::string last;
    const auto check = [&drawn, &last](const std::string& error) {
        if (error.empty())
            return;
        if (error != last)
            Complain(error);
        last = error;
        drawn = false;
    };
    check(player.ShowStill(platform::GetTickCount()));
    if (arguments.time) {
        player.StartRun(platform::GetTickCount());
        check(player.StepTo(*arguments.time));
    }
    return drawn;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<double> scale = TakeScaleOption(argc, argv, 3, "vekta-animate");
    if (!scale)
        return 64;
    const std::optional<Arguments> arguments = ReadArguments(argc, argv);
    if (!arguments)
        return Usage();
    PrepareHeadlessQt();
    // The client's own application object, with the font substitutes its windows draw with.
    platform::VektaApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();

    const std::optional<std::string> script = ReadFileBytes(arguments->script);
    if (!script) {
        std::cerr << "vekta-animate: cannot read " << arguments->script << '\n';
        return 1;
    }
    animation::AnimationBitmap bitmap;
    bitmap.SetPixelRatio(*scale);
    animation::AnimationPlayer player(bitmap);
    player.LoadAnimation(*script);
    for (const std::string& note : player.Model().Notes)
        Complain(note);
    const bool drawn = Draw(player, *arguments);
    if (!bitmap.Image().save(QString::fromLocal8Bit(arguments->png), "PNG")) {
        std::cerr << "vekta-animate: cannot write " << arguments->png << '\n';
        return 1;
    }
    return drawn ? 0 : 1;
}
