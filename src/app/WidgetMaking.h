#pragma once

class QLabel;
class QWidget;

// A label of the given object name showing a UTF-8 text, a child of `parent`.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* utf8Text);
