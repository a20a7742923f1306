#include "core/StartPageChoice.h"

#include "core/ProgramDirectory.h"
#include "core/ProgramNames.h"

const QString& StartPageChoice::confirmation()
{
    static const QString text = QStringLiteral(
        "Your New Default Is Shown In The TextBox.\nIf It Is Correct, Exit When Ready, Else Try Again.");
    return text;
}

int StartPageChoice::code(bool option1, bool option2, bool option3, bool option4)
{
    int c = 0;
    if (option1) {
        c = 1;
    }
    if (option2) {
        c = 2;
    }
    if (option3) {
        c = 3;
    }
    if (option4) {
        c = 4;
    }
    return c;
}

StartPageChoice::Outcome StartPageChoice::apply(int code, const QString& appDir, const QString& typed,
                                                const QString& selectorText,
                                                const std::function<qint32(const QString&)>& fileMissing)
{
    Outcome out;
    switch (code) {
    case 1:
    case 2: {
        const QString name = code == 1 ? ProgramNames::HelpPage : ProgramNames::BlankPage;
        const QString path = ProgramDirectory::file(appDir, name);
        if (fileMissing(path) != 0) {
            out.notice =
                (code == 1
                     ? QStringLiteral("The Skyvane Intro-Help file Is Missing, Select Something Else.")
                     : QStringLiteral("The Skyvane DefPage.htm file Is Missing, Select Something Else."));
            return out;
        }
        out.startPage = path;
        break;
    }
    case 3:
        out.startPage = typed;
        break;
    case 4:
        out.startPage = selectorText;
        break;
    default:
        out.notice = QStringLiteral("You Did Not Select One Of The Options.");
        break;
    }
    out.showStartPage = true;
    out.confirm = true;
    return out;
}
