#pragma once

// vekta-task judge-drawing FILE DRAWING [--student NAME] [--db LOCATION]: judges a drawing
// file against the DRAW section of the student's variant of a task, as the server judges a
// drawn answer. It prints a line per expected and per extra object ("верно: F", "нет: R_A",
// "направление: F", "имя: R_B (нужно R_A)", "величина: R_A", "лишняя: P"), then "score M of
// N", and exits 0 for "верно", 1 for anything else judged, 2 for an empty drawing ("не
// принято") and 64 with a message for a task or a drawing that cannot be read.
int JudgeDrawingCommand(int argc, char** argv);
