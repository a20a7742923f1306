#pragma once

#include "core/CommonDialogs.h"

#include <QStringList>

#include <optional>

// Common dialogs that answer as prepared and remember what they were opened with.
class PreparedDialogs : public CommonDialogs
{
public:
    QString ShowOpen(const QString& initDir) override
    {
        openedIn << initDir;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    Font ShowFont(const Font& initial) override
    {
        fontOpenedWith.append(initial);
        return fontAnswer.value_or(initial); // no answer: cancelled
    }
    QString ShowSave(const QString&) override { return saveAnswer; }
    bool ShowLogin(const QString&, const QString&, QString*, QString*) override { return false; }
    QString ShowSaveLoop(const QString& suggested) override
    {
        loopSuggested = suggested;
        return saveAnswer;
    }

    QStringList openAnswers;
    QStringList openedIn;
    std::optional<Font> fontAnswer;
    QList<Font> fontOpenedWith;
    QString saveAnswer;
    QString loopSuggested;
};
