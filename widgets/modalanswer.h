#pragma once

#include <functional>

class QObject;
class QWidget;

// Hands the next modal dialog to answer (which accepts or rejects it) as soon as it is shown,
// looking every checkMs. For walking the program through its dialogs without a user: the
// screenshot tour and the GUI tests. The waiting stops with context, when one is given.
void answerNextModal(std::function<void(QWidget *)> answer, int checkMs = 10,
                     QObject *context = nullptr);
