#include "windows/MainWindow.h"

#include "core/BrowserEventRules.h"
#include "core/MainLayout.h"
#include "core/PreferencesStore.h"
#include "core/ProgramDirectory.h"
#include "core/SiteFeed.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "windows/AboutWindow.h"
#include "windows/Announcer.h"
#include "windows/ApplicationFont.h"
#include "windows/AreaWatch.h"
#include "windows/DesignedFont.h"
#include "windows/FrameKeeping.h"
#include "windows/OuterGeometry.h"
#include "windows/ScreenTwips.h"
#include "windows/SiteFollowing.h"
#include "windows/SiteListEditor.h"
#include "windows/StartPageDialog.h"
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

MainWindow::MainWindow(AppState& state, Watch& watch, PreferencesStore& preferences, MainWindowParts parts,
                       QWidget* parent)
    : QWidget(parent), m_state(state), m_watch(watch), m_preferences(preferences),
      m_twips(ScreenTwips::of(this)), m_browserPart(std::move(parts.browser)), m_browser(m_browserPart.get()),
      m_probe(std::move(parts.probe)), m_messages(std::move(parts.messages)),
      m_dialogs(std::move(parts.dialogs)), m_frames(std::move(parts.frames)), m_sound(std::move(parts.sound)),
      m_alertSound(std::move(parts.alertSound)), m_notifier(std::move(parts.notifier))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(QStringLiteral(":/images/skyvane.png")));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));

    m_browser->setParent(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    ui.setupUi(this, m_browser, m_twips);
    m_announcer = new Announcer(ui.statusBar, this);
    m_session = std::make_unique<BrowsingSession>(
        m_state, BrowsingSession::Parts{m_browser, m_sound.get(), m_probe.get(), m_messages.get(),
                                        m_dialogs.get(), &m_watch});
    m_outer = new OuterGeometry(this);
    m_feed = std::make_unique<SiteFeed>();
    m_keeping = std::make_unique<FrameKeeping>(
        FrameKeeping::Parts{m_state, m_preferences, m_browser, m_frames.get(), m_session.get(),
                            m_messages.get(), m_dialogs.get(), ui.statusBar, &m_watch, *m_feed},
        this);
    m_areas =
        std::make_unique<AreaWatch>(AreaWatch::Parts{m_state, m_watch, m_browser, m_frames.get(),
                                                     ui.statusBar, m_alertSound.get(), m_notifier.get()},
                                    ui.popupMenu, ui.textSizeMenu->menuAction());
    m_following = std::make_unique<SiteFollowing>(
        SiteFollowing::Parts{m_watch, m_browser, m_session.get(), m_frames.get(), ui.statusBar}, ui.popupMenu,
        ui.clearFramesItem);
    connectControls();
    ui.connectionTimer->start();

    // Designed client area.
    resize(m_twips.toPixelsX(10290), m_twips.toPixelsY(4980));
}

MainWindow::~MainWindow() = default;

void MainWindow::followEveryPage()
{
    m_following->followEveryPage();
}

void MainWindow::connectControls()
{
    connect(ui.relayoutTimer, &QTimer::timeout, this, &MainWindow::relayOutBrowser);
    connect(ui.openItem, &QAction::triggered, this, &MainWindow::openFile);
    connect(ui.saveAsItem, &QAction::triggered, this, &MainWindow::savePageAs);
    connect(ui.largestItem, &QAction::triggered, this, &MainWindow::setTextLargest);
    connect(ui.largeItem, &QAction::triggered, this, &MainWindow::setTextLarge);
    connect(ui.mediumItem, &QAction::triggered, this, &MainWindow::setTextMedium);
    connect(ui.smallItem, &QAction::triggered, this, &MainWindow::setTextSmall);
    connect(ui.smallestItem, &QAction::triggered, this, &MainWindow::setTextSmallest);
    connect(ui.fontsItem, &QAction::triggered, this, &MainWindow::chooseAppFont);
    connect(ui.connectionFunctionsItem, &QAction::triggered, this, &MainWindow::switchConnectionFunctions);
    connect(ui.helpItem, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui.aboutItem, &QAction::triggered, this, &MainWindow::showAbout);
    connect(ui.startPageItem, &QAction::triggered, this, &MainWindow::showStartPageDialog);
    connect(ui.replayItem, &QAction::triggered, m_keeping.get(), &FrameKeeping::toggleReplay);
    connect(ui.clearFramesItem, &QAction::triggered, m_keeping.get(), &FrameKeeping::clearFrames);
    connect(ui.chimeNewItem, &QAction::triggered, this, &MainWindow::switchChimeForNewPicturesOnly);
    connect(ui.keyRefresh, &QAction::triggered, this, &MainWindow::refreshNow);
    connect(ui.keyAddress, &QAction::triggered, this, &MainWindow::focusAddress);
    connect(ui.keyQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui.keyHelp, &QAction::triggered, this, &MainWindow::showHelp);
    ui.chimeNewItem->setChecked(m_state.Prefs.chimeOnlyForNewPicture);
    m_session->setChimeOnlyForNewPicture(m_state.Prefs.chimeOnlyForNewPicture);
    connect(ui.goButton, &QPushButton::clicked, this, &MainWindow::openTypedAddress);
    connect(ui.refreshButton, &QPushButton::clicked, this, &MainWindow::refreshNow);
    connect(ui.backButton, &QPushButton::clicked, this, &MainWindow::goBack);
    connect(ui.forwardButton, &QPushButton::clicked, this, &MainWindow::goForward);
    connect(ui.listButton, &QPushButton::clicked, this, &MainWindow::showSiteList);
    connect(ui.menuButton, &QPushButton::clicked, this, &MainWindow::showMenu);
    connect(m_browser, &BrowserControl::saveFinished, this, &MainWindow::pageSaved);
    connect(ui.siteSelector, &QComboBox::activated, this, &MainWindow::openSelectedSite);
    // A key typed into the selector goes to the combo box, the focus widget, which hands it on to its
    // line edit directly: the combo box is where a key can be seen.
    ui.siteSelector->installEventFilter(this);
    ui.intervalLabel->installEventFilter(this);
    ui.minuteCountLabel->installEventFilter(this);
    connect(ui.connectionTimer, &QTimer::timeout, this, &MainWindow::pollConnection);
    connect(ui.connectionIndicator, &QPushButton::clicked, this, &MainWindow::showConnectionState);
    connect(ui.intervalBox, &UpDown::Change, this, &MainWindow::setInterval);
    // Only a pick from the drop-down list is a site choice. Left to itself the combo box would also
    // "choose" an entry whose name matches the typed text when Enter is pressed or the focus leaves.
    disconnect(ui.siteSelector->lineEdit(), &QLineEdit::returnPressed, ui.siteSelector, nullptr);
    disconnect(ui.siteSelector->lineEdit(), &QLineEdit::editingFinished, ui.siteSelector, nullptr);

    connect(m_browser, &BrowserControl::statusTextChanged, this, &MainWindow::showStatusText);
    connect(m_browser, &BrowserControl::progressChanged, this, &MainWindow::showProgress);
    connect(m_browser, &BrowserControl::historyStateChanged, this, &MainWindow::enableHistoryButton);
    connect(m_browser, &BrowserControl::downloadCompleted, this, &MainWindow::pageDownloaded);
    connect(m_browser, &BrowserControl::titleChanged, this, &MainWindow::titleChanged);
    connect(m_browser, &BrowserControl::navigationCompleted, this, &MainWindow::pageShown);

    // What the watch and the session tell the window.
    ui.intervalBox->setValue(m_watch.interval());
    connect(&m_watch, &Watch::intervalChanged, ui.intervalBox, &UpDown::setValue);
    connect(&m_watch, &Watch::minuteCountChanged, ui.minuteCountLabel,
            [this](int count) { ui.minuteCountLabel->setText(QString::number(count)); });
    connect(&m_watch, &Watch::timerStateChanged, this, &MainWindow::showTimerState);
    connect(m_session.get(), &BrowsingSession::selectorTextChanged, ui.siteSelector, &QComboBox::setEditText);
    connect(m_session.get(), &BrowsingSession::selectorEntriesChanged, this, &MainWindow::showSites);
    connect(m_session.get(), &BrowsingSession::captionChanged, this, [this](const QString& caption) {
        m_caption = caption;
        showCaption();
    });
    connect(m_areas.get(), &AreaWatch::alertShown, this, &MainWindow::showCaption);
    connect(m_session.get(), &BrowsingSession::statusMessage, ui.statusBar,
            [this](const QString& text) { ui.statusBar->showMessage(text); });
    connect(m_session.get(), &BrowsingSession::fontChanged, this, [this] {
        ApplicationFont::applyToNumberBox(ui.intervalLabel, m_state.Settings);
        ApplicationFont::applyToNumberBox(ui.minuteCountLabel, m_state.Settings);
        ApplicationFont::applyTo(ui.siteSelector, m_state.Settings);
    });
    connect(m_session.get(), &BrowsingSession::indicatorChanged, this, &MainWindow::showIndicator);
    connect(m_session.get(), &BrowsingSession::connectionPollStopped, ui.connectionTimer, &QTimer::stop);
}

void MainWindow::showCaption()
{
    const QString alert = m_areas->alertCaption(); // a storm alert is the first thing the caption says
    setWindowTitle(alert.isEmpty() ? m_caption : alert + QStringLiteral(" - ") + m_caption);
    if (!alert.isEmpty() && alert != m_alertAnnounced) {
        m_announcer->announce(alert);
    }
    m_alertAnnounced = alert;
}

void MainWindow::pageDownloaded()
{
    ui.relayoutTimer->start();
    const bool failed = m_browser->refreshFailed();
    if (failed && !m_failureAnnounced) {
        const QString said = ui.statusBar->currentMessage();
        m_announcer->announce(said.isEmpty() ? tr("The refresh failed")
                                             : tr("The refresh failed: %1").arg(said));
    }
    m_failureAnnounced = failed;
}

void MainWindow::place(QWidget* w, float left, float top, float width, float height) const
{
    w->setGeometry(m_twips.rect(left, top, width, height));
}

void MainWindow::moveOuter(float left, float top, float width, float height)
{
    m_outer->apply(QSize(m_twips.toPixelsX(width), m_twips.toPixelsY(height)),
                   QPoint(m_twips.toPixelsX(left), m_twips.toPixelsY(top)));
}

void MainWindow::loadWindow()
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
    if (!m_pageOnly) {
        moveOuter(m_state.Settings.MainLeft, m_state.Settings.MainTop, width, height);
    }
    m_session->startPage();
    m_loaded = true;
}

void MainWindow::showPageOnly(QScreen* screen)
{
    m_pageOnly = true;
    for (QWidget* w : ui.around()) {
        w->hide();
    }
    setScreen(screen);
    setGeometry(screen->geometry());
    showFullScreen();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_loaded && std::exchange(m_firstActivation, false)) {
        // The first check waits for the start page, a second at most: its load needs this thread more.
        QTimer::singleShot(1000, this, &MainWindow::firstActivationCheck);
        connect(m_browser, &BrowserControl::downloadCompleted, this, &MainWindow::firstActivationCheck,
                Qt::SingleShotConnection);
    } else if (event->type() == QEvent::WindowActivate) {
        onActivated();
    }
    return QWidget::event(event);
}

void MainWindow::showIndicator(ConnectionMonitor::Picture picture)
{
    static const char* const files[] = {"iNetGrn.gif", "iNetRed.gif", "iNetGrey.gif"};
    const QPixmap image(ProgramDirectory::file(m_state.AppDir, QString::fromLatin1(files[int(picture)])));
    if (!image.isNull()) {
        ui.connectionIndicator->setIcon(QIcon(image));
    }
    static const char* const states[] = {QT_TR_NOOP("on line"), QT_TR_NOOP("off line"),
                                         QT_TR_NOOP("not checked")};
    const QString words = tr("Internet connection: %1").arg(tr(states[int(picture)]));
    ui.connectionIndicator->setAccessibleName(words);
    if (std::exchange(m_indicatorShown, int(picture)) != int(picture)) {
        m_announcer->announce(words);
    }
    if (picture == ConnectionMonitor::Picture::Green) {
        m_browser->connectionRestored(); // a refresh that failed while the link was down goes again
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        layOut();
    }
}

void MainWindow::layOut()
{
    if (m_pageOnly) {
        placeBrowser(0);
    }
    if (isMinimized() || m_pageOnly) {
        return;
    }
    const QMargins frame = OuterGeometry::frameOf(this);
    const float outerWidth = outerTwips().width;
    if (MainLayout::springBackWidth(outerWidth) != outerWidth) {
        resize(m_twips.toPixelsX(MainLayout::MinOuterWidth) - frame.left() - frame.right(), height());
    }
    const float outerHeight = outerTwips().height;
    if (MainLayout::springBackHeight(outerHeight) != outerHeight) {
        resize(width(), m_twips.toPixelsY(MainLayout::MinOuterHeight) - frame.top() - frame.bottom());
    }
    const float sw = innerWidthTwips();
    const float sh = innerHeightTwips();
    place(ui.siteSelector, MainLayout::ComboLeft, -15, MainLayout::comboWidth(sw), 330);
    place(ui.goButton, MainLayout::goLeft(sw), 15, 375, 300);
    placeBrowser(0);
    place(ui.progressBox, MainLayout::progressLeft(sw), MainLayout::progressTop(sh), 885, 240);
    place(ui.statusBar, 0, sh - 270, sw, 270);
}

void MainWindow::placeBrowser(float widthTakenOff)
{
    const TwipRect r = m_pageOnly ? TwipRect{0, 0, innerWidthTwips() - widthTakenOff, innerHeightTwips()}
                                  : MainLayout::browser(innerWidthTwips(), innerHeightTwips(), widthTakenOff);
    place(m_browser, r.left, r.top, r.width, r.height);
    m_keeping->place(m_browser->geometry());
}

void MainWindow::relayOutBrowser()
{
    if (!isMinimized()) {
        // A nudge makes the engine repaint a page that finished loading behind a stale picture.
        placeBrowser(MainLayout::Nudge);
        placeBrowser(0);
    }
    ui.relayoutTimer->stop();
}

void MainWindow::saveOnClose()
{
    if (m_pageOnly) { // the window's place as it was saved
        const LiveSettings& s = m_state.Settings;
        m_session->saveSettings(s.MainLeft, s.MainTop, s.MainWidth, s.MainHeight);
    } else if (const TwipRect outer = outerTwips(); OuterGeometry::placeKnown()) {
        m_session->saveSettings(outer.left, outer.top, outer.width, outer.height);
    } else { // the size as it is, the place as it was last known: nothing made up is kept
        const LiveSettings& s = m_state.Settings;
        m_session->saveSettings(s.MainLeft, s.MainTop, outer.width, outer.height);
    }
    if (!m_siteListEditor.isNull()) {
        static_cast<SiteListEditor*>(m_siteListEditor.data())->closeAtEnd();
    }
    for (QPointer<QWidget>* form : {&m_aboutWindow, &m_startPageDialog}) {
        if (!form->isNull()) {
            (*form)->close();
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        saveOnClose();
    }
    event->accept();
}

void MainWindow::fillSelector()
{
    const QStringList names = m_session->siteNames();
    if (!names.isEmpty()) {
        showSites(names, names.first());
    }
}

void MainWindow::showSites(const QStringList& names, const QString& text)
{
    ui.siteSelector->clear();
    ui.siteSelector->addItems(names);
    ui.siteSelector->setEditText(text);
    // The drop-down as wide as its longest name (up to the screen), not cut to the narrow box.
    int widest = 0;
    for (const QString& name : names) {
        widest = qMax(widest, ui.siteSelector->view()->fontMetrics().horizontalAdvance(name));
    }
    const int screenWidth = screen() != nullptr ? screen()->availableGeometry().width() : widest + 40;
    ui.siteSelector->view()->setMinimumWidth(qMin(widest + 40, screenWidth));
}

void MainWindow::showSiteList()
{
    if (m_siteListEditor.isNull()) {
        auto* editor = new SiteListEditor(
            m_state, [this] { return m_browser->pictureAddress(); }, m_messages.get(), this);
        connect(editor, &SiteListEditor::listSaved, this, [this](const QStringList& names) {
            showSites(names, ui.siteSelector->currentText());
            m_session->siteListSaved();
        });
        m_siteListEditor = editor;
        editor->loadWindow();
    }
    // Modal: the timers and the browser go on while the editor is open.
    static_cast<SiteListEditor*>(m_siteListEditor.data())->exec();
    if (!m_siteListEditor.isNull()) {
        m_siteListEditor->deleteLater();
        m_siteListEditor.clear();
    }
    ui.intervalBox->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui.intervalLabel) {
            switchTimer();
        } else if (watched == ui.minuteCountLabel) {
            resetMinuteCount();
        }
    }
    if (watched == ui.siteSelector && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openTypedAddress(); // the key then goes on to the selector
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::showProgress(qint32 progress, qint32 progressMax)
{
    const BrowserEventRules::Progress p = BrowserEventRules::progressFor(
        progress, progressMax, ui.progressBar->maximum(), ui.progressBar->value());
    if (!p.visible || m_pageOnly) {
        ui.progressBox->hide();
        return;
    }
    ui.progressBox->show();
    ui.progressBox->raise();
    ui.progressBar->setMaximum(p.maximum);
    ui.progressBar->setValue(p.value);
}

void MainWindow::enableHistoryButton(qint32 command, bool enable)
{
    if (command == BrowserControl::ForwardCommand) {
        ui.forwardButton->setEnabled(enable);
    } else if (command == BrowserControl::BackCommand) {
        ui.backButton->setEnabled(enable);
    }
}

void MainWindow::setInterval()
{
    m_watch.setInterval(ui.intervalBox->value());
}

void MainWindow::switchTimer()
{
    m_watch.toggleTimer();
}

void MainWindow::resetMinuteCount()
{
    m_watch.resetMinuteCount();
}

void MainWindow::showTimerState(bool on)
{
    // Running: the light background of window contents; off: the button face.
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLabel* label : {ui.intervalLabel, ui.minuteCountLabel}) {
        QPalette p = label->palette();
        p.setColor(QPalette::Window, palette().color(role));
        label->setPalette(p);
    }
}

void MainWindow::showMenu()
{
    ui.intervalBox->setFocus();
    ui.popupMenu->popup(QCursor::pos());
}

void MainWindow::textSize(int level, QAction* item)
{
    m_browser->setTextSize(level); // refused while no page is shown; the check mark moves anyway
    for (QAction* a : {ui.largestItem, ui.largeItem, ui.mediumItem, ui.smallItem, ui.smallestItem}) {
        a->setChecked(a == item);
    }
}

void MainWindow::showAbout()
{
    if (m_aboutWindow.isNull()) {
        m_aboutWindow = new AboutWindow(this);
    }
    m_aboutWindow->show();
    m_aboutWindow->raise();
    m_aboutWindow->activateWindow();
}

void MainWindow::showStartPageDialog()
{
    if (m_startPageDialog.isNull()) {
        auto* dialog = new StartPageDialog(
            m_state, *m_messages, [this] { return m_browser->pictureAddress(); },
            this); // the page on screen
        m_startPageDialog = dialog;
        dialog->loadWindow();
    }
    m_startPageDialog->show();
    m_startPageDialog->raise();
    m_startPageDialog->activateWindow();
}

void MainWindow::switchChimeForNewPicturesOnly()
{
    m_state.Prefs.chimeOnlyForNewPicture = ui.chimeNewItem->isChecked();
    m_session->setChimeOnlyForNewPicture(m_state.Prefs.chimeOnlyForNewPicture);
    m_preferences.save(m_state.Prefs);
}
