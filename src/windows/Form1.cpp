#include "windows/Form1.h"

#include "core/BrowserEventRules.h"
#include "core/BrowsingSession.h"
#include "core/MainLayout.h"
#include "core/ProgramDirectory.h"
#include "platform/BrowserControl.h"
#include "windows/ApplicationFont.h"
#include "windows/DesignedFont.h"
#include "windows/Form2.h"
#include "windows/Form3.h"
#include "windows/Form4.h"
#include "windows/OuterGeometry.h"
#include "windows/ScreenTwips.h"
#include "windows/UpDown.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <cmath>

Form1::Form1(AppState& state, Form1Parts parts, QWidget* parent)
    : QWidget(parent), m_state(state), m_twips(ScreenTwips::of(this)), m_probe(std::move(parts.probe)),
      m_messages(std::move(parts.messages)), m_dialogs(std::move(parts.dialogs)),
      MMControl1(std::move(parts.sound))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(QStringLiteral(":/images/skyvane.png")));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));

    WebBrowser1 = parts.browser.release();
    WebBrowser1->setParent(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    createControls();
    m_session = new BrowsingSession(
        m_state, {WebBrowser1, MMControl1.get(), m_probe.get(), m_messages.get(), m_dialogs.get()}, this);
    m_outer = new OuterGeometry(this);
    createMenu();
    connectControls();
    Timer2->start();

    // Designed client area.
    resize(m_twips.toPixelsX(10290), m_twips.toPixelsY(4980));
}

Form1::~Form1() = default;

void Form1::createControls()
{
    const auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setFont(DesignedFont::arial(8.25));
        return b;
    };

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr); // the text is an address; the entries are names

    Combo1->setEditText(QString::fromLatin1(InitialSelectorText));
    Combo1->setToolTip(QStringLiteral("Site Selector"));
    Combo1->setFont(DesignedFont::arial(8.25));
    place(Combo1, 4530, -15, 5340, 330);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    place(StatusBar1, 0, 4710, 10290, 270);

    Picture3 = new QFrame(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setFrameShape(QFrame::StyledPanel);
    Picture3->setAutoFillBackground(true);
    place(Picture3, 8835, 4740, 885, 240);
    ProgressBar1 = new QProgressBar(Picture3);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 75, 15, 720, 195);
    Picture3->hide();

    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(100);
    Timer4->setSingleShot(true); // ticks once each time a browser event arms it
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);

    Command1 = button("Command1", QStringLiteral("Go"), QStringLiteral("Go To Site URL, Shown"));
    place(Command1, 9900, 15, 375, 300);

    Command4 = button("Command4", QString(), QStringLiteral("Forward"));
    Command4->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    Command4->setEnabled(false);
    place(Command4, 4185, 15, 300, 300);

    Command3 = button("Command3", QString(), QStringLiteral("Back"));
    Command3->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    Command3->setEnabled(false);
    place(Command3, 3870, 15, 300, 300);

    Command5 = button("Command5", QStringLiteral("List"),
                      QStringLiteral("Edit, Add, Delete Site Selector List Items"));
    place(Command5, 3360, 15, 480, 300);

    Command2 = button("Command2", QStringLiteral("Refresh"), QStringLiteral("Refresh Page"));
    place(Command2, 2520, 15, 825, 300);

    UpDown1 = new UpDown(this);
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

    place(WebBrowser1, 0, 360, 10290, 4350);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(10000);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    Timer1->setTimerType(Qt::PreciseTimer); // a minute is a minute, for days on end

    const auto label = [this](const char* name, const QString& text, const QString& tip) {
        auto* l = new QLabel(text, this);
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
    setTabOrder(Command8, Command6);
    setTabOrder(Command6, UpDown1);
    setTabOrder(UpDown1, Command2);
    setTabOrder(Command2, Command5);
    setTabOrder(Command5, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Combo1);
    setTabOrder(Combo1, Command1);
}

void Form1::connectControls()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(WebBrowser1, &BrowserControl::SaveFinished, this, [this](bool saved, const QString& path) {
        StatusBar1->showMessage(saved ? tr("Page saved to %1").arg(path) : tr("The page was not saved"));
    });
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    // A key typed into the selector goes to the combo box, the focus widget, which hands it on to its
    // line edit directly: the combo box is where a key can be seen.
    Combo1->installEventFilter(this);
    Label1->installEventFilter(this);
    Label2->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(UpDown1, &UpDown::Change, this, &Form1::UpDown1_Change);
    // Only a pick from the drop-down list is a site choice. Left to itself the combo box would also
    // "choose" an entry whose name matches the typed text when Enter is pressed or the focus leaves.
    disconnect(Combo1->lineEdit(), &QLineEdit::returnPressed, Combo1, nullptr);
    disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);

    connect(WebBrowser1, &BrowserControl::StatusTextChange, this, &Form1::WebBrowser1_StatusTextChange);
    connect(WebBrowser1, &BrowserControl::ProgressChange, this, &Form1::WebBrowser1_ProgressChange);
    connect(WebBrowser1, &BrowserControl::CommandStateChange, this, &Form1::WebBrowser1_CommandStateChange);
    connect(WebBrowser1, &BrowserControl::DownloadComplete, this, &Form1::WebBrowser1_DownloadComplete);
    connect(WebBrowser1, &BrowserControl::TitleChange, this, &Form1::WebBrowser1_TitleChange);
    connect(WebBrowser1, &BrowserControl::NavigateComplete2, this, &Form1::WebBrowser1_NavigateComplete2);

    // What the session tells the window.
    connect(m_session, &BrowsingSession::minuteCountChanged, Label2,
            [this](int count) { Label2->setText(QString::number(count)); });
    connect(m_session, &BrowsingSession::timerStateChanged, this, &Form1::showTimerState);
    connect(m_session, &BrowsingSession::selectorTextChanged, Combo1, &QComboBox::setEditText);
    connect(m_session, &BrowsingSession::selectorEntriesChanged, this,
            [this](const QStringList& names, const QString& text) {
                Combo1->clear();
                Combo1->addItems(names);
                Combo1->setEditText(text);
            });
    connect(m_session, &BrowsingSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_session, &BrowsingSession::statusMessage, StatusBar1,
            [this](const QString& text) { StatusBar1->showMessage(text); });
    connect(m_session, &BrowsingSession::fontChanged, this, [this] {
        ApplicationFont::applyToNumberBox(Label1, m_state.Settings);
        ApplicationFont::applyToNumberBox(Label2, m_state.Settings);
        ApplicationFont::applyTo(Combo1, m_state.Settings);
    });
    connect(m_session, &BrowsingSession::indicatorChanged, this, &Form1::showIndicator);
    connect(m_session, &BrowsingSession::connectionPollStopped, Timer2, &QTimer::stop);
}

void Form1::place(QWidget* w, float left, float top, float width, float height) const
{
    w->setGeometry(m_twips.rect(left, top, width, height));
}

float Form1::Left() const
{
    return m_twips.fromPixelsX(OuterGeometry::of(this).x());
}

float Form1::Top() const
{
    return m_twips.fromPixelsY(OuterGeometry::of(this).y());
}

float Form1::Width() const
{
    return m_twips.fromPixelsX(OuterGeometry::of(this).width());
}

float Form1::Height() const
{
    return m_twips.fromPixelsY(OuterGeometry::of(this).height());
}

float Form1::ScaleWidth() const
{
    return m_twips.fromPixelsX(width());
}

float Form1::ScaleHeight() const
{
    return m_twips.fromPixelsY(height());
}

void Form1::moveOuter(float left, float top, float width, float height)
{
    m_outer->apply(QSize(m_twips.toPixelsX(width), m_twips.toPixelsY(height)),
                   QPoint(m_twips.toPixelsX(left), m_twips.toPixelsY(top)));
}

void Form1::Form_Load()
{
    mnuFonts_Click();
    fillSelector();
    // No upper bound is stored, but a window larger than all screens together is of no use.
    float width = m_state.Settings.MainWidth;
    float height = m_state.Settings.MainHeight;
    if (const QScreen* s = screen()) {
        width = qMin(width, qMax(MainLayout::MinOuterWidth, m_twips.fromPixelsX(s->virtualSize().width())));
        height =
            qMin(height, qMax(MainLayout::MinOuterHeight, m_twips.fromPixelsY(s->virtualSize().height())));
    }
    moveOuter(m_state.Settings.MainLeft, m_state.Settings.MainTop, width, height);
    m_session->startPage();
    LoadDone = 1;
}

void Form1::mnuFonts_Click()
{
    m_session->chooseFont(LoadDone != 0);
}

bool Form1::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void Form1::Form_Activate()
{
    m_session->connection().activate();
}

void Form1::Timer2_Timer()
{
    m_session->connection().CheckConnection();
}

void Form1::Command6_Click()
{
    m_session->connection().click();
    UpDown1->setFocus();
}

void Form1::mnuINetFun_Click()
{
    m_session->connection().switchForNextStart();
}

void Form1::showIndicator(ConnectionMonitor::Picture picture)
{
    static const char* const files[] = {"iNetGrn.gif", "iNetRed.gif", "iNetGrey.gif"};
    const QPixmap image(ProgramDirectory::file(m_state.AppDir, QString::fromLatin1(files[int(picture)])));
    if (!image.isNull()) {
        Command6->setIcon(QIcon(image));
    }
    if (picture == ConnectionMonitor::Picture::Green) {
        WebBrowser1->ConnectionRestored(); // a refresh that failed while the link was down goes again
    }
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void Form1::Form_Resize()
{
    if (isMinimized()) {
        return;
    }
    const QMargins frame = OuterGeometry::frameOf(this);
    const float outerWidth = Width();
    if (MainLayout::springBackWidth(outerWidth) != outerWidth) {
        resize(m_twips.toPixelsX(MainLayout::MinOuterWidth) - frame.left() - frame.right(), height());
    }
    const float outerHeight = Height();
    if (MainLayout::springBackHeight(outerHeight) != outerHeight) {
        resize(width(), m_twips.toPixelsY(MainLayout::MinOuterHeight) - frame.top() - frame.bottom());
    }
    const float sw = ScaleWidth();
    const float sh = ScaleHeight();
    place(Combo1, MainLayout::ComboLeft, -15, MainLayout::comboWidth(sw), 330);
    place(Command1, MainLayout::goLeft(sw), 15, 375, 300);
    placeBrowser(0);
    place(Picture3, MainLayout::progressLeft(sw), MainLayout::progressTop(sh), 885, 240);
    place(StatusBar1, 0, sh - 270, sw, 270);
}

void Form1::placeBrowser(float widthTakenOff)
{
    const TwipRect r = MainLayout::browser(ScaleWidth(), ScaleHeight(), widthTakenOff);
    place(WebBrowser1, r.left, r.top, r.width, r.height);
}

void Form1::Timer4_Timer()
{
    if (!isMinimized()) {
        // A nudge makes the engine repaint a page that finished loading behind a stale picture.
        placeBrowser(MainLayout::Nudge);
        placeBrowser(0);
    }
    Timer4->stop();
}

void Form1::Form_QueryUnload()
{
    m_session->saveSettings(Left(), Top(), Width(), Height());
    if (!m_form2.isNull()) {
        static_cast<Form2*>(m_form2.data())->closeAtEnd();
    }
    for (QPointer<QWidget>* form : {&m_form3, &m_form4}) {
        if (!form->isNull()) {
            (*form)->close();
        }
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        Form_QueryUnload();
    }
    event->accept();
}

void Form1::fillSelector()
{
    const QStringList names = m_session->siteNames();
    if (!names.isEmpty()) {
        Combo1->addItems(names);
        Combo1->setEditText(names.first());
    }
}

void Form1::resetMinuteCount()
{
    m_session->resetMinuteCount();
}

void Form1::Command1_Click()
{
    m_session->go(Combo1->currentText());
    UpDown1->setFocus();
}

void Form1::Command2_Click()
{
    m_session->refreshNow();
    UpDown1->setFocus();
}

void Form1::Command3_Click()
{
    WebBrowser1->GoBack();
}

void Form1::Command4_Click()
{
    WebBrowser1->GoForward();
}

void Form1::Command5_Click()
{
    if (m_form2.isNull()) {
        auto* editor = new Form2(
            m_state, [this] { return WebBrowser1->LocationURL(); }, m_messages.get(), this);
        connect(editor, &Form2::listSaved, this, [this](const QStringList& names) {
            const QString text = Combo1->currentText();
            Combo1->clear();
            Combo1->addItems(names);
            Combo1->setEditText(text);
            m_session->siteListSaved();
        });
        m_form2 = editor;
        editor->Form_Load();
    }
    // Modal: the timers and the browser go on while the editor is open.
    static_cast<Form2*>(m_form2.data())->exec();
    if (!m_form2.isNull()) {
        m_form2->deleteLater();
        m_form2.clear();
    }
    UpDown1->setFocus();
}

void Form1::Combo1_KeyPress(int keyAscii)
{
    if (keyAscii == 13) {
        Command1_Click();
    }
}

void Form1::Combo1_Click(int listIndex)
{
    m_session->chooseSite(listIndex, Combo1->currentText());
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Label1) {
            Label1_DblClick();
        } else if (watched == Label2) {
            Label2_DblClick();
        }
    }
    if (watched == Combo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Combo1_KeyPress(13); // the key then goes on to the selector
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::WebBrowser1_StatusTextChange(const QString& text)
{
    StatusBar1->showMessage(text);
}

void Form1::WebBrowser1_ProgressChange(qint32 progress, qint32 progressMax)
{
    const BrowserEventRules::Progress p =
        BrowserEventRules::progressFor(progress, progressMax, ProgressBar1->maximum(), ProgressBar1->value());
    if (!p.visible) {
        Picture3->hide();
        return;
    }
    Picture3->show();
    Picture3->raise();
    ProgressBar1->setMaximum(p.maximum);
    ProgressBar1->setValue(p.value);
}

void Form1::WebBrowser1_CommandStateChange(qint32 command, bool enable)
{
    if (command == BrowserControl::CSC_NAVIGATEFORWARD) {
        Command4->setEnabled(enable);
    } else if (command == BrowserControl::CSC_NAVIGATEBACK) {
        Command3->setEnabled(enable);
    }
}

void Form1::WebBrowser1_DownloadComplete()
{
    Timer4->start();
}

void Form1::WebBrowser1_TitleChange(const QString& text)
{
    Timer4->start();
    m_session->titleChanged(text);
}

void Form1::WebBrowser1_NavigateComplete2()
{
    m_session->pageShown();
}

void Form1::Timer1_Timer()
{
    m_session->minuteTick(UpDown1->value());
}

void Form1::UpDown1_Change()
{
    m_session->intervalChanged();
}

void Form1::Label1_DblClick()
{
    m_session->toggleTimer();
}

void Form1::Label2_DblClick()
{
    m_session->resetMinuteCount();
}

void Form1::showTimerState(bool on)
{
    if (on) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
    // Running: the light background of window contents; off: the button face.
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLabel* label : {Label1, Label2}) {
        QPalette p = label->palette();
        p.setColor(QPalette::Window, palette().color(role));
        label->setPalette(p);
    }
}

void Form1::createMenu()
{
    mnuPop1 = new QMenu(QStringLiteral("Menu1"), this);
    mnuPop1->setObjectName(QStringLiteral("mnuPop1"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             void (Form1::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    const auto separator = [this](const char* name) {
        mnuPop1->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    mnuOpen = item(mnuPop1, "mnuOpen", QStringLiteral("&Open"), &Form1::mnuOpen_Click);
    mnuSaveAs = item(mnuPop1, "mnuSaveAs", QStringLiteral("&SaveAs"), &Form1::mnuSaveAs_Click);
    separator("mnuSep1");
    mnuTextSize = mnuPop1->addMenu(QStringLiteral("&Web Page Text Size"));
    mnuTextSize->setObjectName(QStringLiteral("mnuTextSize"));
    mnuLargest = item(mnuTextSize, "mnuLargest", QStringLiteral("La&rgest"), &Form1::mnuLargest_Click);
    mnuLarge = item(mnuTextSize, "mnuLarge", QStringLiteral("&Large"), &Form1::mnuLarge_Click);
    mnuMedium = item(mnuTextSize, "mnuMedium", QStringLiteral("&Medium"), &Form1::mnuMedium_Click);
    mnuSmall = item(mnuTextSize, "mnuSmall", QStringLiteral("Sma&ll"), &Form1::mnuSmall_Click);
    mnuSmallest = item(mnuTextSize, "mnuSmallest", QStringLiteral("Sm&allest"), &Form1::mnuSmallest_Click);
    for (QAction* a : {mnuLargest, mnuLarge, mnuMedium, mnuSmall, mnuSmallest}) {
        a->setCheckable(true);
    }
    separator("mnuSep2");
    mnuFonts = item(mnuPop1, "mnuFonts", QStringLiteral("App &Fonts"), &Form1::mnuFonts_Click);
    separator("mnuSep3");
    mnuINetFun = item(mnuPop1, "mnuINetFun", QStringLiteral("&iNet Functions"), &Form1::mnuINetFun_Click);
    separator("mnuSep4");
    mnuHelp = item(mnuPop1, "mnuHelp", QStringLiteral("&Help"), &Form1::mnuHelp_Click);
    mnuAbout = item(mnuPop1, "mnuAbout", QStringLiteral("Abo&ut"), &Form1::mnuAbout_Click);
    separator("mnuSep5");
    mnuDefStartPage = item(mnuPop1, "mnuDefStartPage", QStringLiteral("Default Start &Page"),
                           &Form1::mnuDefStartPage_Click);
}

void Form1::Command8_Click()
{
    UpDown1->setFocus();
    mnuPop1->popup(QCursor::pos());
}

void Form1::mnuOpen_Click()
{
    m_session->openFile();
}

void Form1::mnuSaveAs_Click()
{
    WebBrowser1->ExecWBSaveAs();
}

void Form1::textSize(int level, QAction* item)
{
    WebBrowser1->ExecWBZoom(level); // refused while no page is shown; the check mark moves anyway
    for (QAction* a : {mnuLargest, mnuLarge, mnuMedium, mnuSmall, mnuSmallest}) {
        a->setChecked(a == item);
    }
}

void Form1::mnuLargest_Click()
{
    textSize(4, mnuLargest);
}

void Form1::mnuLarge_Click()
{
    textSize(3, mnuLarge);
}

void Form1::mnuMedium_Click()
{
    textSize(2, mnuMedium);
}

void Form1::mnuSmall_Click()
{
    textSize(1, mnuSmall);
}

void Form1::mnuSmallest_Click()
{
    textSize(0, mnuSmallest);
}

void Form1::mnuHelp_Click()
{
    m_session->showHelp();
}

void Form1::mnuAbout_Click()
{
    if (m_form3.isNull()) {
        m_form3 = new Form3(this);
    }
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}

void Form1::mnuDefStartPage_Click()
{
    if (m_form4.isNull()) {
        auto* dialog = new Form4(
            m_state, *m_messages, [this] { return Combo1->currentText(); }, this);
        m_form4 = dialog;
        dialog->Form_Load();
    }
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
}
