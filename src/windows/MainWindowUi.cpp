#include "windows/MainWindowUi.h"

#include "core/RefreshCounter.h"
#include "windows/DesignedFont.h"
#include "windows/UpDown.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

QList<QWidget*> Form1Ui::around() const
{
    return {Combo1,   Command1, Command2, Command3, Command4, Command5,  Command6,
            Command8, UpDown1,  Label1,   Label2,   Picture3, StatusBar1};
}

void Form1Ui::setupUi(QWidget* form, QWidget* browser, const Twips& twips)
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

    Combo1 = new QComboBox(form);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr); // the text is an address; the entries are names

    Combo1->setEditText(QString::fromLatin1(InitialSelectorText));
    Combo1->setToolTip(QStringLiteral("Site Selector"));
    Combo1->setFont(DesignedFont::arial(8.25));
    place(Combo1, 4530, -15, 5340, 330);

    StatusBar1 = new QStatusBar(form);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    place(StatusBar1, 0, 4710, 10290, 270);

    Picture3 = new QFrame(form);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setFrameShape(QFrame::StyledPanel);
    Picture3->setAutoFillBackground(true);
    place(Picture3, 8835, 4740, 885, 240);
    ProgressBar1 = new QProgressBar(Picture3);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 75, 15, 720, 195);
    Picture3->hide();

    Timer4 = new QTimer(form);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(100);
    Timer4->setSingleShot(true); // ticks once each time a browser event arms it

    Command1 = button("Command1", QStringLiteral("Go"), QStringLiteral("Go To Site URL, Shown"));
    place(Command1, 9900, 15, 375, 300);

    Command4 = button("Command4", QString(), QStringLiteral("Forward"));
    Command4->setIcon(form->style()->standardIcon(QStyle::SP_ArrowForward));
    Command4->setEnabled(false);
    place(Command4, 4185, 15, 300, 300);

    Command3 = button("Command3", QString(), QStringLiteral("Back"));
    Command3->setIcon(form->style()->standardIcon(QStyle::SP_ArrowBack));
    Command3->setEnabled(false);
    place(Command3, 3870, 15, 300, 300);

    Command5 = button("Command5", QStringLiteral("List"),
                      QStringLiteral("Edit, Add, Delete Site Selector List Items"));
    place(Command5, 3360, 15, 480, 300);

    Command2 = button("Command2", QStringLiteral("Refresh"), QStringLiteral("Refresh Page"));
    place(Command2, 2520, 15, 825, 300);

    UpDown1 = new UpDown(form);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setToolTip(QStringLiteral("Inc.-Dec. Refresh Interval (Turns Timer On)"));
    place(UpDown1, 1605, 15, 450, 300);

    Command6 = button("Command6", QString(),
                      QStringLiteral("internetGetConnectedState And Force Up Internet Dialer If False"));
    Command6->setIcon(QIcon(QStringLiteral(":/shipped/iNetGrn.gif")));
    Command6->setIconSize(QSize(26, 14));
    place(Command6, 660, 15, 465, 300);

    Command8 = button("Command8", QStringLiteral("Menu"), QString());
    place(Command8, 60, 15, 600, 300);

    place(browser, 0, 360, 10290, 4350);

    Timer2 = new QTimer(form);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(10000);

    Timer1 = new QTimer(form);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    Timer1->setTimerType(Qt::PreciseTimer); // a minute is a minute, for days on end

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
    Label2 = label("Label2", QStringLiteral("0"), QStringLiteral("Minute Count - (Dbl Click To Reset=0)"));
    place(Label2, 2085, 15, 390, 285);
    Label1 =
        label("Label1", QStringLiteral("10"), QStringLiteral("Refresh Interval (Dbl Click - Timer On-Off)"));
    place(Label1, 1185, 15, 390, 285);

    UpDown1->setRange(RefreshCounter::IntervalMinimum, RefreshCounter::IntervalMaximum);
    UpDown1->setValue(RefreshCounter::IntervalInitial);
    UpDown1->setBuddy(Label1);

    // Tab order follows the strip from left to right.
    QWidget::setTabOrder(Command8, Command6);
    QWidget::setTabOrder(Command6, UpDown1);
    QWidget::setTabOrder(UpDown1, Command2);
    QWidget::setTabOrder(Command2, Command5);
    QWidget::setTabOrder(Command5, Command3);
    QWidget::setTabOrder(Command3, Command4);
    QWidget::setTabOrder(Command4, Combo1);
    QWidget::setTabOrder(Combo1, Command1);

    mnuPop1 = new QMenu(QStringLiteral("Menu1"), form);
    mnuPop1->setObjectName(QStringLiteral("mnuPop1"));
    const auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    const auto separator = [this](const char* name) {
        mnuPop1->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    mnuOpen = item(mnuPop1, "mnuOpen", QStringLiteral("&Open"));
    mnuSaveAs = item(mnuPop1, "mnuSaveAs", QStringLiteral("&SaveAs"));
    separator("mnuSepReplay");
    mnuReplay = item(mnuPop1, "mnuReplay", QStringLiteral("&Replay"));
    mnuReplay->setShortcut(Qt::Key_F9);
    form->addAction(mnuReplay); // F9 with the menu closed
    mnuChimeNew = item(mnuPop1, "mnuChimeNew", QStringLiteral("&Chime Only For A New Picture"));
    mnuChimeNew->setCheckable(true);
    mnuClearFrames = item(mnuPop1, "mnuClearFrames", QStringLiteral("Cl&ear Replay Frames..."));
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
    separator("mnuSep1");
    mnuTextSize = mnuPop1->addMenu(QStringLiteral("&Web Page Text Size"));
    mnuTextSize->setObjectName(QStringLiteral("mnuTextSize"));
    mnuLargest = item(mnuTextSize, "mnuLargest", QStringLiteral("La&rgest"));
    mnuLarge = item(mnuTextSize, "mnuLarge", QStringLiteral("&Large"));
    mnuMedium = item(mnuTextSize, "mnuMedium", QStringLiteral("&Medium"));
    mnuSmall = item(mnuTextSize, "mnuSmall", QStringLiteral("Sma&ll"));
    mnuSmallest = item(mnuTextSize, "mnuSmallest", QStringLiteral("Sm&allest"));
    for (QAction* a : {mnuLargest, mnuLarge, mnuMedium, mnuSmall, mnuSmallest}) {
        a->setCheckable(true);
    }
    separator("mnuSep2");
    mnuFonts = item(mnuPop1, "mnuFonts", QStringLiteral("App &Fonts"));
    separator("mnuSep3");
    mnuINetFun = item(mnuPop1, "mnuINetFun", QStringLiteral("&iNet Functions"));
    separator("mnuSep4");
    mnuHelp = item(mnuPop1, "mnuHelp", QStringLiteral("&Help"));
    mnuAbout = item(mnuPop1, "mnuAbout", QStringLiteral("Abo&ut"));
    separator("mnuSep5");
    mnuDefStartPage = item(mnuPop1, "mnuDefStartPage", QStringLiteral("Default Start &Page"));
}
