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

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setGeometry(m_twips.rect(45, -30, 6210, 2610));

    m_titleLabel = new QLabel(QStringLiteral("Skyvane - Default Start Page"), m_frame);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_titleLabel->setFont(DesignedFont::arial(9.75, true));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setGeometry(m_twips.rect(165, 180, 5820, 210));

    m_addressBox = new QLineEdit(m_frame);
    m_addressBox->setObjectName(QStringLiteral("addressBox"));
    m_addressBox->setMaxLength(TypedMaximum);
    m_addressBox->setGeometry(m_twips.rect(165, 450, 5865, 285));
    m_addressBox->setAccessibleName(tr("Start page address"));
    m_addressBox->setAccessibleDescription(tr("The page Skyvane opens when it starts"));

    m_options = new QButtonGroup(this);
    const auto option = [&](const char* name, const QString& caption, float top, float width) {
        auto* b = new QRadioButton(caption, m_frame);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(m_twips.rect(570, top, width, 300));
        m_options->addButton(b);
        return b;
    };
    m_helpPageOption =
        option("helpPageOption", QStringLiteral("Set To Skyvane's Intro-Help Page File On Your Computer"),
               870, 5460);
    m_blankPageOption = option("blankPageOption", QStringLiteral("Default Blank Page"), 1155, 5490);
    m_typedAddressOption =
        option("typedAddressOption", QStringLiteral("Type An Address In The Text Box Manually"), 1425, 5475);
    m_shownPageOption = option("shownPageOption",
                               QStringLiteral("Set To The Page Currently Displayed In Skyvane"), 1695, 5505);

    m_applyButton = new QPushButton(QStringLiteral("Apply"), m_frame);
    m_applyButton->setObjectName(QStringLiteral("applyButton"));
    m_applyButton->setGeometry(m_twips.rect(585, 2130, 1230, 330));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_frame);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setGeometry(m_twips.rect(4005, 2145, 1230, 330));
    // Enter on a focused button presses that button; anywhere else it applies (keyPressEvent).
    m_applyButton->setAutoDefault(true);
    m_cancelButton->setAutoDefault(true);
    connect(m_applyButton, &QPushButton::clicked, this, &StartPageDialog::apply);
    connect(m_cancelButton, &QPushButton::clicked, this, &StartPageDialog::cancel);

    setTabOrder(m_addressBox, m_helpPageOption);
    setTabOrder(m_helpPageOption, m_blankPageOption);
    setTabOrder(m_blankPageOption, m_typedAddressOption);
    setTabOrder(m_typedAddressOption, m_shownPageOption);
    setTabOrder(m_shownPageOption, m_cancelButton);
    setTabOrder(m_cancelButton, m_applyButton);

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
    m_addressBox->setMaxLength(qMax(TypedMaximum, int(m_state.Settings.StartPage.size())));
    m_addressBox->setText(m_state.Settings.StartPage);
}

void StartPageDialog::apply()
{
    const int code = StartPageChoice::code(m_helpPageOption->isChecked(), m_blankPageOption->isChecked(),
                                           m_typedAddressOption->isChecked(), m_shownPageOption->isChecked());
    const StartPageChoice::Outcome outcome =
        StartPageChoice::apply(code, m_state.AppDir, m_addressBox->text(),
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
