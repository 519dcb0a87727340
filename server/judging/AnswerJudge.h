#pragma once

#include "answers/Judge.h"

#include <string_view>
#include <vector>

// The server's judge of one answer: the one judge of answers that vekta-formula judge
// also calls, so an author's check and a student's verdict agree. Texts are CP1251. A
// judge with a deadline stops every judgement at it (the judgement says outOfTime).
class AnswerJudge {
public:
    AnswerJudge() = default;
    explicit AnswerJudge(answers::Deadline deadline) : deadline_(deadline) {}

    answers::Judgement Judge(std::string_view reference, std::string_view answer,
                             const std::vector<answers::DeclaredName>& variables,
                             const answers::Tolerance& tolerance) const {
        return answers::Judge(reference, answer, variables, tolerance, deadline_);
    }

    // With units, significant figures and hints as the options say.
    answers::Judgement Judge(std::string_view reference, std::string_view answer,
                             const std::vector<answers::DeclaredName>& variables,
                             answers::JudgeOptions options) const {
        options.deadline = deadline_;
        return answers::JudgeAnswer(reference, answer, variables, options);
    }

private:
    answers::Deadline deadline_;
};
