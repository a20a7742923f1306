#include "windows/StartPageDialog.h"

#include "core/FileMissing.h"
#include "core/StartPageChoice.h"
#include "windows/DesignedFont.h"
#include "windows/ScreenTwips.h"

#include <QButtonGroup>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

Form4::Form4(AppState& state, MessageBoxes& messages, std::function<QString()> selectorText, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_messages(messages), m_selectorText(std::move(selectorText))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Set Default Start Page"));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));
    setAttribute(Qt::WA_DeleteOnClose);
    m_twips = ScreenTwips::of(this);
    setFixedSize(m_twips.toPixelsX(6300), m_twips.toPixelsY(2625));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setGeometry(m_twips.rect(45, -30, 6210, 2610));

    Label1 = new QLabel(QStringLiteral("Skyvane - Default Start Page"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(DesignedFont::arial(9.75, true));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(m_twips.rect(165, 180, 5820, 210));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(kTypedMaximum);
    Text1->setGeometry(m_twips.rect(165, 450, 5865, 285));

    m_options = new QButtonGroup(this);
    const auto option = [&](const char* name, const QString& caption, float top, float width) {
        auto* b = new QRadioButton(caption, Frame1);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(m_twips.rect(570, top, width, 300));
        m_options->addButton(b);
        return b;
    };
    Option1 = option("Option1", QStringLiteral("Set To Skyvane's Intro-Help Page File On Your Computer"), 870,
                     5460);
    Option2 = option("Option2", QStringLiteral("Default Blank Page"), 1155, 5490);
    Option3 = option("Option3", QStringLiteral("Type An Address In The Text Box Manually"), 1425, 5475);
    Option4 = option("Option4", QStringLiteral("Set To The Page Currently Displayed In Skyvane"), 1695, 5505);

    Command2 = new QPushButton(QStringLiteral("Apply"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(m_twips.rect(585, 2130, 1230, 330));
    Command1 = new QPushButton(QStringLiteral("Cancel"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(m_twips.rect(4005, 2145, 1230, 330));
    // Enter on a focused button presses that button; anywhere else it applies (keyPressEvent).
    Command2->setAutoDefault(true);
    Command1->setAutoDefault(true);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);

    setTabOrder(Text1, Option1);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Option3);
    setTabOrder(Option3, Option4);
    setTabOrder(Option4, Command1);
    setTabOrder(Command1, Command2);

    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

void Form4::Form_Load()
{
    showStartPage();
}

void Form4::showStartPage()
{
    // The limit is for typing: a longer stored start page is shown, and applied, whole.
    Text1->setMaxLength(qMax(kTypedMaximum, int(m_state.Settings.StartPage.size())));
    Text1->setText(m_state.Settings.StartPage);
}

void Form4::Command2_Click()
{
    const int code = StartPageChoice::code(Option1->isChecked(), Option2->isChecked(), Option3->isChecked(),
                                           Option4->isChecked());
    const StartPageChoice::Outcome outcome = StartPageChoice::apply(
        code, m_state.AppDir, Text1->text(), m_selectorText ? m_selectorText() : QString(), &FileMissing);
    // A message box runs its own event loop, in which the program may be told to end and this
    // window go: touch it after a box only while it is still there.
    const QPointer<Form4> self(this);
    if (!outcome.notice.isEmpty()) {
        m_messages.show(outcome.notice, MessageBoxes::Buttons::Ok);
    }
    if (outcome.startPage) {
        m_state.Settings.StartPage = *outcome.startPage;
    }
    if (self.isNull()) {
        return;
    }
    if (outcome.showStartPage) {
        showStartPage();
    }
    if (outcome.confirm) {
        m_messages.show(StartPageChoice::confirmation(), MessageBoxes::Buttons::Ok);
    }
}

void Form4::Command1_Click()
{
    close();
}

void Form4::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control leaves alone: Esc cancels and Enter applies, as in any dialog.
    switch (event->key()) {
    case Qt::Key_Escape:
        Command1_Click();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Command2_Click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
