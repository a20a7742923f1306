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

StartPageDialog::StartPageDialog(AppState& state, MessageBoxes& messages,
                                 std::function<QString()> selectorText, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_messages(messages), m_selectorText(std::move(selectorText))
{
    setObjectName(QStringLiteral("StartPageDialog"));
    setWindowTitle(QStringLiteral("Set Default Start Page"));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));
    setAttribute(Qt::WA_DeleteOnClose);
    m_twips = ScreenTwips::of(this);
    setFixedSize(m_twips.toPixelsX(6300), m_twips.toPixelsY(2625));

    frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(m_twips.rect(45, -30, 6210, 2610));

    titleLabel = new QLabel(QStringLiteral("Skyvane - Default Start Page"), frame);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setFont(DesignedFont::arial(9.75, true));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setGeometry(m_twips.rect(165, 180, 5820, 210));

    addressBox = new QLineEdit(frame);
    addressBox->setObjectName(QStringLiteral("addressBox"));
    addressBox->setMaxLength(TypedMaximum);
    addressBox->setGeometry(m_twips.rect(165, 450, 5865, 285));

    m_options = new QButtonGroup(this);
    const auto option = [&](const char* name, const QString& caption, float top, float width) {
        auto* b = new QRadioButton(caption, frame);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(m_twips.rect(570, top, width, 300));
        m_options->addButton(b);
        return b;
    };
    helpPageOption =
        option("helpPageOption", QStringLiteral("Set To Skyvane's Intro-Help Page File On Your Computer"),
               870, 5460);
    blankPageOption = option("blankPageOption", QStringLiteral("Default Blank Page"), 1155, 5490);
    typedAddressOption =
        option("typedAddressOption", QStringLiteral("Type An Address In The Text Box Manually"), 1425, 5475);
    shownPageOption = option("shownPageOption",
                             QStringLiteral("Set To The Page Currently Displayed In Skyvane"), 1695, 5505);

    applyButton = new QPushButton(QStringLiteral("Apply"), frame);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    applyButton->setGeometry(m_twips.rect(585, 2130, 1230, 330));
    cancelButton = new QPushButton(QStringLiteral("Cancel"), frame);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(m_twips.rect(4005, 2145, 1230, 330));
    // Enter on a focused button presses that button; anywhere else it applies (keyPressEvent).
    applyButton->setAutoDefault(true);
    cancelButton->setAutoDefault(true);
    connect(applyButton, &QPushButton::clicked, this, &StartPageDialog::apply);
    connect(cancelButton, &QPushButton::clicked, this, &StartPageDialog::cancel);

    setTabOrder(addressBox, helpPageOption);
    setTabOrder(helpPageOption, blankPageOption);
    setTabOrder(blankPageOption, typedAddressOption);
    setTabOrder(typedAddressOption, shownPageOption);
    setTabOrder(shownPageOption, cancelButton);
    setTabOrder(cancelButton, applyButton);

    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

void StartPageDialog::loadWindow()
{
    showStartPage();
}

void StartPageDialog::showStartPage()
{
    // The limit is for typing: a longer stored start page is shown, and applied, whole.
    addressBox->setMaxLength(qMax(TypedMaximum, int(m_state.Settings.StartPage.size())));
    addressBox->setText(m_state.Settings.StartPage);
}

void StartPageDialog::apply()
{
    const int code = StartPageChoice::code(helpPageOption->isChecked(), blankPageOption->isChecked(),
                                           typedAddressOption->isChecked(), shownPageOption->isChecked());
    const StartPageChoice::Outcome outcome =
        StartPageChoice::apply(code, m_state.AppDir, addressBox->text(),
                               m_selectorText ? m_selectorText() : QString(), &FileMissing);
    // A message box runs its own event loop, in which the program may be told to end and this
    // window go: touch it after a box only while it is still there.
    const QPointer<StartPageDialog> self(this);
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

void StartPageDialog::cancel()
{
    close();
}

void StartPageDialog::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control leaves alone: Esc cancels and Enter applies, as in any dialog.
    switch (event->key()) {
    case Qt::Key_Escape:
        cancel();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        apply();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
