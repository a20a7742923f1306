#pragma once

#include "core/CommonDialogs.h"

#include <QStringList>

#include <optional>

// Common dialogs that answer as prepared and remember what they were opened with.
class PreparedDialogs : public CommonDialogs
{
public:
    QString askOpenPath(const QString& initDir) override
    {
        openedIn << initDir;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    Font askFont(const Font& initial) override
    {
        fontOpenedWith.append(initial);
        return fontAnswer.value_or(initial); // no answer: cancelled
    }
    QString askSavePath(const QString&) override { return saveAnswer; }
    bool askLogin(const QString&, const QString&, QString*, QString*) override { return false; }
    QString askSaveLoopPath(const QString& suggested, bool* timeOnFrames) override
    {
        loopSuggested = suggested;
        loopTimeOffered = *timeOnFrames;
        *timeOnFrames = loopTimeAnswer.value_or(*timeOnFrames);
        return saveAnswer;
    }

    QStringList openAnswers;
    QStringList openedIn;
    std::optional<Font> fontAnswer;
    QList<Font> fontOpenedWith;
    QString saveAnswer;
    bool loopTimeOffered = false;
    std::optional<bool> loopTimeAnswer; // none: the box left as offered
    QString loopSuggested;
};
