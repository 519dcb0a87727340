#pragma once

#include "answers/DeclaredNames.h"
#include "answers/Judge.h"
#include "course/AnswerRules.h"
#include "course/CourseConfig.h"
#include "drawing/DrawnAnswer.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// The ";"-ended items of a list such as REQUEST; a rest after the last ";" is ignored.
std::vector<std::string> SplitItems(const std::string& list);

// The reference server's task bank: one file per task, "<name>.task", in the folders
// statica/, kinematik/ and dinamik/ of the bank. A task file is UTF-8 text with the
// sections <CAPTION>, <QUEST>, <IMAGE>, <REQUEST> and <ANIMATE> that go to the student,
// and the sections the server keeps to itself: <ANSWER> (the reference answers, one per
// requested name, ";"-ended, in the formula notation students type), <VARIABLES> (the
// names a symbolic answer may contain, ";"-ended, each perhaps with the range its trial
// values are drawn from: "a = -3..3;") and <TOLERANCE> (relative, in percent, 1 when
// absent; then perhaps ";" and the absolute tolerance for a zero reference, 1e-9 when absent),
// <PARAMETERS> (the values a student's variant is drawn from), <TESTS> (the author's tests of the
// answers, one a line), <ATTEMPTS> (how many attempts count, and the penalty per attempt), <DRAW>
// (the forces and moments of a right drawn answer), <DRAWTOL> (how near they must be drawn),
// <FEEDBACK> (the author's texts for typical wrong answers, one a line) and <CARRY> (the rows
// judged again with a student's own earlier answers). A reference answer may use an earlier
// row's name for that row's reference. The declared names also go to the student, with QUEST. Lines
// outside the sections are the author's notes. The file's stem is the task's name. An optional
// users.txt holds "name;password" lines: the accounts an empty account store starts with.
// Everything is kept as CP1251, as it goes on the wire. An optional course.conf holds the rules of
// the whole course (see CourseConfig).
struct BankTask {
    std::string sheetTag; // "<STATICA>", "<KINEMATIK>" or "<DINAMIK>"
    std::string name;
    std::string caption;
    std::string quest;
    std::string image;
    std::string request;
    std::string animate;
    std::vector<std::string> answerNames; // the REQUEST names, in order
    std::vector<std::string> answers;     // reference answers; empty: the task is not judged
    std::vector<answers::DeclaredName> variables;
    std::string variablesSection; // <VARIABLES> as written, for the student
    answers::Tolerance tolerance;
    // <UNITS>required</UNITS>: an answer in a row whose reference has a unit must give one.
    bool unitsRequired = false;
    // <SIGFIGS>N</SIGFIGS>: the least number of significant figures of a number answer.
    int significantFigures = 0;
    // Whether a wrong answer is told the typical mistake it looks like (course.conf hints).
    bool hints = true;
    std::string draw;          // the DRAW section: what a right drawn answer holds
    std::string drawTolerance; // the DRAWTOL section
    // DRAW read in a student's variant, its magnitudes with the variant's values (filled by
    // VariantOfSeed; empty for the task as written).
    drawing::DrawSection drawing;

    // Whether a drawn answer is asked for: it is scored as one more row.
    bool AsksForDrawing() const { return !draw.empty(); }
    // The rows a submission is scored out of: the answer rows, and the drawing.
    int ScoredRows() const {
        return static_cast<int>(answerNames.size()) + (AsksForDrawing() ? 1 : 0);
    }

    // The FEEDBACK lines; in a student's variant their answers hold the variant's values.
    std::vector<FeedbackLine> feedback;
    std::vector<CarryRule> carry; // the CARRY rules
    // What an answer right only with the student's own earlier answers earns: the course's
    // carry share, a fraction of a right answer's 1.
    double carryShare = kDefaultCarryPercent / 100;

    std::string parameters; // the PARAMETERS section
    std::string tests;      // the TESTS section, its line breaks kept
    std::string attempts;   // the ATTEMPTS section
    std::string problem;    // why the task cannot be judged as written; empty when it can
    std::vector<std::string> layoutProblems; // slips in how the sections are written (UTF-8)
    std::vector<std::string> ruleProblems;   // FEEDBACK and CARRY lines that cannot be read
};

struct TaskBank {
    std::vector<BankTask> tasks;              // Statics, Kinematics, Dynamics; by name
    std::map<std::string, std::string> users; // name -> password, from users.txt
    CourseConfig course;                      // from course.conf; defaults without it

    const BankTask* Find(const std::string& name) const;
};

// Reads a bank folder; throws std::runtime_error when it cannot be read. A task that cannot
// be judged as written keeps its reason in `problem`: ValidateTask tells it, and
// SetAsideInvalidTasks takes such tasks out before the bank is served.
TaskBank LoadTaskBank(const std::filesystem::path& folder);

// Reads one task file's text (UTF-8) into a task of the given sheet and name. Answers
// that do not fit the requested names, or a tolerance that is not a positive percentage,
// are told in `problem`.
BankTask ParseTaskFile(const std::string& utf8Text, const std::string& sheetTag,
                       const std::string& cp1251Name);
