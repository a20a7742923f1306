#pragma once

#include "core/MessageBoxes.h"

#include <QList>
#include <QStringList>

// Records every message and answers with prepared answers (Ok, or the first button, when none is left).
class PreparedMessageBoxes : public MessageBoxes
{
public:
    Answer show(const QString& text, Buttons buttons) override
    {
        shown << text;
        shownButtons << buttons;
        return !answers.isEmpty() ? answers.takeFirst() : buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }

    QStringList shown;
    QList<Buttons> shownButtons;
    QList<Answer> answers;
};
