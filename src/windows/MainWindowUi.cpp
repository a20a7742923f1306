#include "windows/MainWindowUi.h"

#include "core/Watch.h"
#include "windows/DesignedFont.h"
#include "windows/UpDown.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

QList<QWidget*> MainWindowUi::around() const
{
    return {siteSelector,  goButton,      refreshButton,       backButton,
            forwardButton, listButton,    connectionIndicator, menuButton,
            intervalBox,   intervalLabel, minuteCountLabel,    progressBox,
            statusBar};
}

void MainWindowUi::setupUi(QWidget* form, QWidget* browser, const Twips& twips)
{
    const auto place = [&twips](QWidget* w, float left, float top, float width, float height) {
        w->setGeometry(twips.rect(left, top, width, height));
    };

    const auto button = [form](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, form);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setFont(DesignedFont::arial(8.25));
        return b;
    };

    siteSelector = new QComboBox(form);
    siteSelector->setObjectName(QStringLiteral("siteSelector"));
    siteSelector->setEditable(true);
    siteSelector->setInsertPolicy(QComboBox::NoInsert);
    siteSelector->setCompleter(nullptr); // the text is an address; the entries are names

    siteSelector->setEditText(QString::fromLatin1(InitialSelectorText));
    siteSelector->setToolTip(QStringLiteral("Site Selector"));
    siteSelector->setFont(DesignedFont::arial(8.25));
    place(siteSelector, 4530, -15, 5340, 330);

    statusBar = new QStatusBar(form);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(false);
    place(statusBar, 0, 4710, 10290, 270);

    progressBox = new QFrame(form);
    progressBox->setObjectName(QStringLiteral("progressBox"));
    progressBox->setFrameShape(QFrame::StyledPanel);
    progressBox->setAutoFillBackground(true);
    place(progressBox, 8835, 4740, 885, 240);
    progressBar = new QProgressBar(progressBox);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setTextVisible(false);
    place(progressBar, 75, 15, 720, 195);
    progressBox->hide();

    relayoutTimer = new QTimer(form);
    relayoutTimer->setObjectName(QStringLiteral("relayoutTimer"));
    relayoutTimer->setInterval(100);
    relayoutTimer->setSingleShot(true); // ticks once each time a browser event arms it

    goButton = button("goButton", QStringLiteral("Go"), QStringLiteral("Go To Site URL, Shown"));
    place(goButton, 9900, 15, 375, 300);

    forwardButton = button("forwardButton", QString(), QStringLiteral("Forward"));
    forwardButton->setIcon(form->style()->standardIcon(QStyle::SP_ArrowForward));
    forwardButton->setEnabled(false);
    place(forwardButton, 4185, 15, 300, 300);

    backButton = button("backButton", QString(), QStringLiteral("Back"));
    backButton->setIcon(form->style()->standardIcon(QStyle::SP_ArrowBack));
    backButton->setEnabled(false);
    place(backButton, 3870, 15, 300, 300);

    listButton = button("listButton", QStringLiteral("List"),
                        QStringLiteral("Edit, Add, Delete Site Selector List Items"));
    place(listButton, 3360, 15, 480, 300);

    refreshButton = button("refreshButton", QStringLiteral("Refresh"), QStringLiteral("Refresh Page"));
    place(refreshButton, 2520, 15, 825, 300);

    intervalBox = new UpDown(form);
    intervalBox->setObjectName(QStringLiteral("intervalBox"));
    intervalBox->setToolTip(QStringLiteral("Inc.-Dec. Refresh Interval (Turns Timer On)"));
    place(intervalBox, 1605, 15, 450, 300);

    connectionIndicator =
        button("connectionIndicator", QString(),
               QStringLiteral("internetGetConnectedState And Force Up Internet Dialer If False"));
    connectionIndicator->setIcon(QIcon(QStringLiteral(":/shipped/iNetGrn.gif")));
    connectionIndicator->setIconSize(QSize(26, 14));
    place(connectionIndicator, 660, 15, 465, 300);

    menuButton = button("menuButton", QStringLiteral("Menu"), QString());
    place(menuButton, 60, 15, 600, 300);

    place(browser, 0, 360, 10290, 4350);

    connectionTimer = new QTimer(form);
    connectionTimer->setObjectName(QStringLiteral("connectionTimer"));
    connectionTimer->setInterval(10000);

    const auto label = [form](const char* name, const QString& text, const QString& tip) {
        auto* l = new QLabel(text, form);
        l->setObjectName(QString::fromLatin1(name));
        l->setToolTip(tip);
        l->setFont(DesignedFont::arial(9));
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, p.color(QPalette::Button));
        l->setPalette(p);
        return l;
    };
    minuteCountLabel = label("minuteCountLabel", QStringLiteral("0"),
                             QStringLiteral("Minute Count - (Dbl Click To Reset=0)"));
    place(minuteCountLabel, 2085, 15, 390, 285);
    intervalLabel = label("intervalLabel", QStringLiteral("10"),
                          QStringLiteral("Refresh Interval (Dbl Click - Timer On-Off)"));
    place(intervalLabel, 1185, 15, 390, 285);

    intervalBox->setRange(Watch::IntervalMinimum, Watch::IntervalMaximum);
    intervalBox->setValue(Watch::IntervalInitial);
    intervalBox->setBuddy(intervalLabel);

    // What assistive technology tells of each control; a button's own caption is its name.
    const auto tell = [](QWidget* w, const QString& name, const QString& description = QString()) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    };
    // (On Linux Qt tells an editable combo box by its text, the address; the description says what it is.)
    tell(siteSelector, QStringLiteral("Saved sites"),
         QStringLiteral("Saved sites: choose one, or type an address and press Enter"));
    tell(siteSelector->lineEdit(), QStringLiteral("Address"));
    tell(goButton, QStringLiteral("Go"), QStringLiteral("Open the address typed"));
    tell(backButton, QStringLiteral("Back"));
    tell(forwardButton, QStringLiteral("Forward"));
    tell(refreshButton, QStringLiteral("Refresh"), QStringLiteral("Load the page again now"));
    tell(listButton, QStringLiteral("List"), QStringLiteral("Edit the list of saved sites"));
    tell(menuButton, QStringLiteral("Menu"),
         QStringLiteral("Open file, save, text size, font, start page, help"));
    tell(intervalBox, QStringLiteral("Refresh interval, minutes"),
         QStringLiteral("Changing it turns the automatic refresh on"));
    tell(intervalLabel, QStringLiteral("Refresh interval, minutes"),
         QStringLiteral("Double-click turns the automatic refresh on or off"));
    tell(minuteCountLabel, QStringLiteral("Minutes since the last refresh"),
         QStringLiteral("Double-click counts from naught again"));
    tell(connectionIndicator, QStringLiteral("Internet connection: on line"), // as its green picture
         QStringLiteral("Press to check the connection now"));
    tell(statusBar, QStringLiteral("Status"));
    tell(progressBar, QStringLiteral("Loading"));

    // Tab order follows the strip from left to right.
    QWidget::setTabOrder(menuButton, connectionIndicator);
    QWidget::setTabOrder(connectionIndicator, intervalBox);
    QWidget::setTabOrder(intervalBox, refreshButton);
    QWidget::setTabOrder(refreshButton, listButton);
    QWidget::setTabOrder(listButton, backButton);
    QWidget::setTabOrder(backButton, forwardButton);
    QWidget::setTabOrder(forwardButton, siteSelector);
    QWidget::setTabOrder(siteSelector, goButton);

    popupMenu = new QMenu(QStringLiteral("Menu1"), form);
    popupMenu->setObjectName(QStringLiteral("popupMenu"));
    const auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    const auto separator = [this](const char* name) {
        popupMenu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    openItem = item(popupMenu, "openItem", QStringLiteral("&Open"));
    saveAsItem = item(popupMenu, "saveAsItem", QStringLiteral("&SaveAs"));
    separator("replaySeparator");
    replayItem = item(popupMenu, "replayItem", QStringLiteral("&Replay"));
    replayItem->setShortcut(Qt::Key_F9);
    form->addAction(replayItem); // F9 with the menu closed
    chimeNewItem = item(popupMenu, "chimeNewItem", QStringLiteral("&Chime Only For A New Picture"));
    chimeNewItem->setCheckable(true);
    clearFramesItem = item(popupMenu, "clearFramesItem", QStringLiteral("Cl&ear Replay Frames..."));
    const auto key = [form](const char* name, const QList<QKeySequence>& keys) {
        auto* a = new QAction(form);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        form->addAction(a);
        return a;
    };
    keyRefresh = key("keyRefresh", {Qt::Key_F5, Qt::CTRL | Qt::Key_R});
    keyAddress = key("keyAddress", {Qt::CTRL | Qt::Key_L});
    keyQuit = key("keyQuit", {Qt::CTRL | Qt::Key_Q});
    keyHelp = key("keyHelp", {Qt::Key_F1});
    separator("textSizeSeparator");
    textSizeMenu = popupMenu->addMenu(QStringLiteral("&Web Page Text Size"));
    textSizeMenu->setObjectName(QStringLiteral("textSizeMenu"));
    largestItem = item(textSizeMenu, "largestItem", QStringLiteral("La&rgest"));
    largeItem = item(textSizeMenu, "largeItem", QStringLiteral("&Large"));
    mediumItem = item(textSizeMenu, "mediumItem", QStringLiteral("&Medium"));
    smallItem = item(textSizeMenu, "smallItem", QStringLiteral("Sma&ll"));
    smallestItem = item(textSizeMenu, "smallestItem", QStringLiteral("Sm&allest"));
    for (QAction* a : {largestItem, largeItem, mediumItem, smallItem, smallestItem}) {
        a->setCheckable(true);
    }
    separator("fontsSeparator");
    fontsItem = item(popupMenu, "fontsItem", QStringLiteral("App &Fonts"));
    separator("connectionSeparator");
    connectionFunctionsItem = item(popupMenu, "connectionFunctionsItem", QStringLiteral("&iNet Functions"));
    separator("helpSeparator");
    helpItem = item(popupMenu, "helpItem", QStringLiteral("&Help"));
    aboutItem = item(popupMenu, "aboutItem", QStringLiteral("Abo&ut"));
    separator("startPageSeparator");
    startPageItem = item(popupMenu, "startPageItem", QStringLiteral("Default Start &Page"));
}
