// vekta-animate: draws an animation the way the animation window shows it.
//   vekta-animate SCRIPT OUT.png [--t T] [--scale R]
//   vekta-animate --task FILE.task [--student NAME] [--db LOCATION] OUT.png [--t T] [--scale R]
// SCRIPT holds the animation script (the ANIMATE text of a task as it goes on the wire:
// CP1251, one line). With --task the script is the ANIMATE section of a task file as the
// server sends it to the student NAME (see vekta-task preview for the student and the
// database). OUT.png is the
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
#include "platform/TickCount.h"
#include "platform/VektaApplication.h"

#include "ScaleOption.h"
#include "StudentTask.h"
#include "ToolArguments.h"
#include "ToolSupport.h"
#include "validation/AnimationCheck.h"

#include <QImage>

#include <clocale>
#include <iostream>
#include <optional>
#include <string>

namespace {

struct Arguments {
    std::string script; // the script file; empty with a task
    std::string png;
    std::optional<long double> time;
    std::string task;
    StudentChoice student;
};

int Usage() {
    std::cerr << "usage: vekta-animate SCRIPT OUT.png [--t T] [--scale R]\n"
                 "       vekta-animate --task FILE.task [--student NAME] [--db LOCATION] "
                 "OUT.png [--t T] [--scale R]\n";
    return 64;
}

std::optional<Arguments> ReadArguments(int argc, char** argv) {
    const std::optional<ToolArguments> read =
        ReadToolArguments(argc, argv, 1, {"--t", "--task", "--student", "--db"});
    if (!read)
        return std::nullopt;
    const bool fromTask = read->Has("--task");
    if (read->words.size() != (fromTask ? 1U : 2U) ||
        (!fromTask && (read->Has("--student") || read->Has("--db"))))
        return std::nullopt;
    Arguments arguments;
    arguments.png = read->words.back();
    if (fromTask) {
        arguments.task = read->Option("--task");
        arguments.student = StudentChoiceOf(*read);
    } else {
        arguments.script = read->words.front();
    }
    if (read->Has("--t")) {
        const platform::Result<long double> time = platform::ReadFloat(read->Option("--t"));
        if (!time)
            return std::nullopt;
        arguments.time = *time;
    }
    return arguments;
}

void Complain(const std::string& cp1251) {
    std::cerr << "vekta-animate: " << platform::Cp1251ToUtf8(cp1251) << '\n';
}

void ComplainUtf8(const std::string& utf8) {
    std::cerr << "vekta-animate: " << utf8 << '\n';
}

// The script to play (CP1251), or nothing when it cannot be had (told on stderr).
std::optional<std::string> Script(const Arguments& arguments) {
    if (arguments.task.empty()) {
        std::optional<std::string> script = ReadFileBytes(arguments.script.c_str());
        if (!script)
            ComplainUtf8("cannot read " + arguments.script);
        return script;
    }
    const SectionRead read =
        ReadStudentSection(arguments.task, arguments.student, &QuestSections::animate, "ANIMATE");
    if (!read.text)
        ComplainUtf8(read.error);
    return read.text;
}

// The frames the window would draw; gives true when none of them failed. The still
// picture drawn before a run often fails the same way as the frame: a message is printed
// once.
bool Draw(animation::AnimationPlayer& player, const Arguments& arguments) {
    bool drawn = true;
    std::string last;
    const auto check = [&drawn, &last](const platform::Status& frame) {
        if (frame)
            return;
        const std::string& error = frame.Error().message;
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
    const std::optional<double> scale = TakeScaleOption(argc, argv, 1, "vekta-animate");
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

    const std::optional<std::string> script = Script(*arguments);
    if (!script)
        return 1;
    animation::AnimationBitmap bitmap;
    bitmap.SetPixelRatio(*scale);
    animation::AnimationPlayer player(bitmap);
    player.LoadAnimation(*script);
    for (const std::string& note : player.Model().Notes)
        Complain(note);
    const bool drawn = Draw(player, *arguments);
    const std::vector<std::string> undrawable = UndrawableStatements(player.Model());
    for (const std::string& problem : undrawable)
        ComplainUtf8(problem);
    if (!bitmap.Image().save(QString::fromLocal8Bit(arguments->png.c_str()), "PNG")) {
        ComplainUtf8("cannot write " + arguments->png);
        return 1;
    }
    return drawn && undrawable.empty() && player.Model().Notes.empty() ? 0 : 1;
}
