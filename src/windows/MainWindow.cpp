#include "windows/MainWindow.h"

#include "core/BrowserEventRules.h"
#include "core/MainLayout.h"
#include "core/ProgramDirectory.h"
#include "platform/BrowserControl.h"
#include "platform/SystemClock.h"
#include "windows/ApplicationFont.h"
#include "windows/DesignedFont.h"
#include "windows/SiteListEditor.h"
#include "windows/AboutWindow.h"
#include "windows/StartPageDialog.h"
#include "windows/FrameKeeping.h"
#include "windows/OuterGeometry.h"
#include "windows/ScreenTwips.h"
#include "windows/UpDown.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

Form1::Form1(AppState& state, Form1Parts parts, QWidget* parent)
    : QWidget(parent), m_state(state), m_twips(ScreenTwips::of(this)), m_probe(std::move(parts.probe)),
      m_messages(std::move(parts.messages)), m_dialogs(std::move(parts.dialogs)),
      m_frames(std::move(parts.frames)), MMControl1(std::move(parts.sound))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(QStringLiteral(":/images/skyvane.png")));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));

    WebBrowser1 = parts.browser.release();
    WebBrowser1->setParent(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    ui.setupUi(this, WebBrowser1, m_twips);
    m_session = new BrowsingSession(m_state,
                                    {WebBrowser1, MMControl1.get(), m_probe.get(), m_messages.get(),
                                     m_dialogs.get(), &SystemClock::monotonicMs},
                                    this);
    m_outer = new OuterGeometry(this);
    m_keeping =
        new FrameKeeping({m_state, WebBrowser1, m_frames.get(), m_session, m_messages.get(), m_dialogs.get(),
                          ui.StatusBar1, [this] { return m_session->timerOn() || m_kiosk || m_watched; }},
                         this);
    connectControls();
    ui.Timer2->start();

    // Designed client area.
    resize(m_twips.toPixelsX(10290), m_twips.toPixelsY(4980));
}

Form1::~Form1()
{
    // The children that hold the parts below (the session, the frames' wiring and Replay, the wall
    // display, an open dialog) go before the parts do.
    QList<QPointer<QObject>> children;
    for (QObject* child : this->children()) {
        children.append(child);
    }
    for (const QPointer<QObject>& child : children) {
        delete child.data();
    }
}

void Form1::connectControls()
{
    connect(ui.Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
    connect(ui.mnuOpen, &QAction::triggered, this, &Form1::mnuOpen_Click);
    connect(ui.mnuSaveAs, &QAction::triggered, this, &Form1::mnuSaveAs_Click);
    connect(ui.mnuLargest, &QAction::triggered, this, &Form1::mnuLargest_Click);
    connect(ui.mnuLarge, &QAction::triggered, this, &Form1::mnuLarge_Click);
    connect(ui.mnuMedium, &QAction::triggered, this, &Form1::mnuMedium_Click);
    connect(ui.mnuSmall, &QAction::triggered, this, &Form1::mnuSmall_Click);
    connect(ui.mnuSmallest, &QAction::triggered, this, &Form1::mnuSmallest_Click);
    connect(ui.mnuFonts, &QAction::triggered, this, &Form1::mnuFonts_Click);
    connect(ui.mnuINetFun, &QAction::triggered, this, &Form1::mnuINetFun_Click);
    connect(ui.mnuHelp, &QAction::triggered, this, &Form1::mnuHelp_Click);
    connect(ui.mnuAbout, &QAction::triggered, this, &Form1::mnuAbout_Click);
    connect(ui.mnuDefStartPage, &QAction::triggered, this, &Form1::mnuDefStartPage_Click);
    connect(ui.mnuReplay, &QAction::triggered, m_keeping, &FrameKeeping::toggleReplay);
    connect(ui.mnuClearFrames, &QAction::triggered, m_keeping, &FrameKeeping::clearFrames);
    connect(ui.mnuChimeNew, &QAction::triggered, this, &Form1::mnuChimeNew_Click);
    connect(ui.keyRefresh, &QAction::triggered, this, &Form1::Command2_Click);
    connect(ui.keyAddress, &QAction::triggered, ui.Combo1, [this] {
        ui.Combo1->setFocus(Qt::ShortcutFocusReason);
        ui.Combo1->lineEdit()->selectAll();
    });
    connect(ui.keyQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui.keyHelp, &QAction::triggered, this, &Form1::mnuHelp_Click);
    ui.mnuChimeNew->setChecked(m_state.Prefs.chimeOnlyForNewPicture);
    m_session->setChimeOnlyForNewPicture(m_state.Prefs.chimeOnlyForNewPicture);
    connect(ui.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui.Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui.Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(ui.Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(ui.Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(WebBrowser1, &BrowserControl::SaveFinished, this, [this](bool saved, const QString& path) {
        ui.StatusBar1->showMessage(saved ? tr("Page saved to %1").arg(path) : tr("The page was not saved"));
        if (saved && m_dialogs) {
            m_dialogs->saved(path);
        }
    });
    connect(ui.Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    // A key typed into the selector goes to the combo box, the focus widget, which hands it on to its
    // line edit directly: the combo box is where a key can be seen.
    ui.Combo1->installEventFilter(this);
    ui.Label1->installEventFilter(this);
    ui.Label2->installEventFilter(this);
    connect(ui.Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(ui.Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(ui.Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(ui.UpDown1, &UpDown::Change, this, &Form1::UpDown1_Change);
    // Only a pick from the drop-down list is a site choice. Left to itself the combo box would also
    // "choose" an entry whose name matches the typed text when Enter is pressed or the focus leaves.
    disconnect(ui.Combo1->lineEdit(), &QLineEdit::returnPressed, ui.Combo1, nullptr);
    disconnect(ui.Combo1->lineEdit(), &QLineEdit::editingFinished, ui.Combo1, nullptr);

    connect(WebBrowser1, &BrowserControl::StatusTextChange, this, &Form1::WebBrowser1_StatusTextChange);
    connect(WebBrowser1, &BrowserControl::ProgressChange, this, &Form1::WebBrowser1_ProgressChange);
    connect(WebBrowser1, &BrowserControl::CommandStateChange, this, &Form1::WebBrowser1_CommandStateChange);
    connect(WebBrowser1, &BrowserControl::DownloadComplete, this, &Form1::WebBrowser1_DownloadComplete);
    connect(WebBrowser1, &BrowserControl::TitleChange, this, &Form1::WebBrowser1_TitleChange);
    connect(WebBrowser1, &BrowserControl::NavigateComplete2, this, &Form1::WebBrowser1_NavigateComplete2);

    // What the session tells the window.
    connect(m_session, &BrowsingSession::minuteCountChanged, ui.Label2,
            [this](int count) { ui.Label2->setText(QString::number(count)); });
    connect(m_session, &BrowsingSession::timerStateChanged, this, &Form1::showTimerState);
    connect(m_session, &BrowsingSession::selectorTextChanged, ui.Combo1, &QComboBox::setEditText);
    connect(m_session, &BrowsingSession::selectorEntriesChanged, this, &Form1::showSites);
    connect(m_session, &BrowsingSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_session, &BrowsingSession::statusMessage, ui.StatusBar1,
            [this](const QString& text) { ui.StatusBar1->showMessage(text); });
    connect(m_session, &BrowsingSession::fontChanged, this, [this] {
        ApplicationFont::applyToNumberBox(ui.Label1, m_state.Settings);
        ApplicationFont::applyToNumberBox(ui.Label2, m_state.Settings);
        ApplicationFont::applyTo(ui.Combo1, m_state.Settings);
    });
    connect(m_session, &BrowsingSession::indicatorChanged, this, &Form1::showIndicator);
    connect(m_session, &BrowsingSession::connectionPollStopped, ui.Timer2, &QTimer::stop);
}

void Form1::place(QWidget* w, float left, float top, float width, float height) const
{
    w->setGeometry(m_twips.rect(left, top, width, height));
}

void Form1::moveOuter(float left, float top, float width, float height)
{
    m_outer->apply(QSize(m_twips.toPixelsX(width), m_twips.toPixelsY(height)),
                   QPoint(m_twips.toPixelsX(left), m_twips.toPixelsY(top)));
}

void Form1::Form_Load()
{
    m_session->chooseFont(false); // the stored application font, without the dialog
    fillSelector();
    // No upper bound is stored, but a window larger than all screens together is of no use.
    float width = m_state.Settings.MainWidth;
    float height = m_state.Settings.MainHeight;
    if (const QScreen* s = screen()) {
        width = qMin(width, qMax(MainLayout::MinOuterWidth, m_twips.fromPixelsX(s->virtualSize().width())));
        height =
            qMin(height, qMax(MainLayout::MinOuterHeight, m_twips.fromPixelsY(s->virtualSize().height())));
    }
    if (!m_kiosk) {
        moveOuter(m_state.Settings.MainLeft, m_state.Settings.MainTop, width, height);
    }
    m_session->startPage();
    if (m_state.StartInterval > 0) { // as if the user had set the interval
        ui.UpDown1->setValue(m_state.StartInterval);
        UpDown1_Change();
    }
    LoadDone = 1;
}

void Form1::showKiosk(QScreen* screen)
{
    m_kiosk = true;
    for (QWidget* w : ui.around()) {
        w->hide();
    }
    setScreen(screen);
    setGeometry(screen->geometry());
    showFullScreen();
}

bool Form1::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && LoadDone == 1 && std::exchange(m_firstActivation, false)) {
        // The first check waits for the start page, a second at most: its load needs this thread more.
        QTimer::singleShot(1000, this, &Form1::firstActivationCheck);
        connect(WebBrowser1, &BrowserControl::DownloadComplete, this, &Form1::firstActivationCheck,
                Qt::SingleShotConnection);
    } else if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void Form1::showIndicator(ConnectionMonitor::Picture picture)
{
    static const char* const files[] = {"iNetGrn.gif", "iNetRed.gif", "iNetGrey.gif"};
    const QPixmap image(ProgramDirectory::file(m_state.AppDir, QString::fromLatin1(files[int(picture)])));
    if (!image.isNull()) {
        ui.Command6->setIcon(QIcon(image));
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
    if (m_kiosk) {
        placeBrowser(0);
    }
    if (isMinimized() || m_kiosk) {
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
    place(ui.Combo1, MainLayout::ComboLeft, -15, MainLayout::comboWidth(sw), 330);
    place(ui.Command1, MainLayout::goLeft(sw), 15, 375, 300);
    placeBrowser(0);
    place(ui.Picture3, MainLayout::progressLeft(sw), MainLayout::progressTop(sh), 885, 240);
    place(ui.StatusBar1, 0, sh - 270, sw, 270);
}

void Form1::placeBrowser(float widthTakenOff)
{
    const TwipRect r = m_kiosk ? TwipRect{0, 0, ScaleWidth() - widthTakenOff, ScaleHeight()}
                               : MainLayout::browser(ScaleWidth(), ScaleHeight(), widthTakenOff);
    place(WebBrowser1, r.left, r.top, r.width, r.height);
    m_keeping->place(WebBrowser1->geometry());
}

void Form1::Timer4_Timer()
{
    if (!isMinimized()) {
        // A nudge makes the engine repaint a page that finished loading behind a stale picture.
        placeBrowser(MainLayout::Nudge);
        placeBrowser(0);
    }
    ui.Timer4->stop();
}

void Form1::Form_QueryUnload()
{
    const LiveSettings& s = m_state.Settings; // in the kiosk, the window's place as it was saved
    m_kiosk ? m_session->saveSettings(s.MainLeft, s.MainTop, s.MainWidth, s.MainHeight)
            : m_session->saveSettings(Left(), Top(), Width(), Height());
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
        showSites(names, names.first());
    }
}

void Form1::showSites(const QStringList& names, const QString& text)
{
    ui.Combo1->clear();
    ui.Combo1->addItems(names);
    ui.Combo1->setEditText(text);
    // The drop-down as wide as its longest name (up to the screen), not cut to the narrow box.
    int widest = 0;
    for (const QString& name : names) {
        widest = qMax(widest, ui.Combo1->view()->fontMetrics().horizontalAdvance(name));
    }
    const int screenWidth = screen() != nullptr ? screen()->availableGeometry().width() : widest + 40;
    ui.Combo1->view()->setMinimumWidth(qMin(widest + 40, screenWidth));
}

void Form1::Command5_Click()
{
    if (m_form2.isNull()) {
        auto* editor = new Form2(
            m_state, [this] { return WebBrowser1->pictureAddress(); }, m_messages.get(), this);
        connect(editor, &Form2::listSaved, this, [this](const QStringList& names) {
            showSites(names, ui.Combo1->currentText());
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
    ui.UpDown1->setFocus();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui.Label1) {
            Label1_DblClick();
        } else if (watched == ui.Label2) {
            Label2_DblClick();
        }
    }
    if (watched == ui.Combo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Combo1_KeyPress(13); // the key then goes on to the selector
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::WebBrowser1_ProgressChange(qint32 progress, qint32 progressMax)
{
    const BrowserEventRules::Progress p = BrowserEventRules::progressFor(
        progress, progressMax, ui.ProgressBar1->maximum(), ui.ProgressBar1->value());
    if (!p.visible || m_kiosk) {
        ui.Picture3->hide();
        return;
    }
    ui.Picture3->show();
    ui.Picture3->raise();
    ui.ProgressBar1->setMaximum(p.maximum);
    ui.ProgressBar1->setValue(p.value);
}

void Form1::WebBrowser1_CommandStateChange(qint32 command, bool enable)
{
    if (command == BrowserControl::CSC_NAVIGATEFORWARD) {
        ui.Command4->setEnabled(enable);
    } else if (command == BrowserControl::CSC_NAVIGATEBACK) {
        ui.Command3->setEnabled(enable);
    }
}

void Form1::showTimerState(bool on)
{
    if (on) {
        ui.Timer1->start();
    } else {
        ui.Timer1->stop();
    }
    // Running: the light background of window contents; off: the button face.
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLabel* label : {ui.Label1, ui.Label2}) {
        QPalette p = label->palette();
        p.setColor(QPalette::Window, palette().color(role));
        label->setPalette(p);
    }
}

void Form1::Command8_Click()
{
    ui.UpDown1->setFocus();
    ui.mnuPop1->popup(QCursor::pos());
}

void Form1::textSize(int level, QAction* item)
{
    WebBrowser1->ExecWBZoom(level); // refused while no page is shown; the check mark moves anyway
    for (QAction* a : {ui.mnuLargest, ui.mnuLarge, ui.mnuMedium, ui.mnuSmall, ui.mnuSmallest}) {
        a->setChecked(a == item);
    }
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
            m_state, *m_messages, [this] { return WebBrowser1->pictureAddress(); },
            this); // the page on screen
        m_form4 = dialog;
        dialog->Form_Load();
    }
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
}

void Form1::mnuChimeNew_Click()
{
    m_state.Prefs.chimeOnlyForNewPicture = ui.mnuChimeNew->isChecked();
    m_session->setChimeOnlyForNewPicture(m_state.Prefs.chimeOnlyForNewPicture);
    m_state.Prefs.save(m_state.preferencesPath());
}
