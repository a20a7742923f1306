#include "windows/ReplayView.h"

#include "core/CommonDialogs.h"
#include "core/LoopTiming.h"
#include "core/PreferencesStore.h"
#include "core/ShownTime.h"
#include "platform/FramePainter.h"
#include "platform/LoopSaveJob.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTimer>

namespace {

template <typename T> T* barControl(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setFocusPolicy(Qt::NoFocus); // the keys belong to the view
    return w;
}

} // namespace

ReplayView::ReplayView(CommonDialogs& dialogs, AppState& state, PreferencesStore& preferences,
                       QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_state(state), m_preferences(preferences),
      m_replayBar(new QWidget(this)),
      m_playButton(barControl(new QPushButton(tr("Play"), m_replayBar), "PlayButton")),
      m_speedBox(barControl(new QComboBox(m_replayBar), "SpeedBox")),
      m_frameSlider(barControl(new QSlider(Qt::Horizontal, m_replayBar), "FrameSlider")),
      m_frameLabel(new QLabel(m_replayBar)),
      m_saveLoopButton(barControl(new QPushButton(tr("Save Loop As..."), m_replayBar), "SaveLoop")),
      m_liveButton(barControl(new QPushButton(tr("Live"), m_replayBar), "LiveButton")),
      m_playTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("ReplayView"));
    hide(); // until asked for, even when its parent shows
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_replayBar->setObjectName(QStringLiteral("replayBar"));
    m_replayBar->setAutoFillBackground(true);
    m_frameLabel->setObjectName(QStringLiteral("frameLabel"));
    m_speedBox->addItems({tr("Slow"), tr("Normal"), tr("Fast")});
    m_frameSlider->setPageStep(1); // a click beside the handle is one frame on, not ten
    setAccessibleName(tr("Replay"));
    setAccessibleDescription(tr("The frames kept of the page; Space plays and pauses, the arrows step"));
    m_speedBox->setAccessibleName(tr("Replay speed"));
    m_frameSlider->setAccessibleName(tr("Frame"));
    m_frameLabel->setAccessibleName(tr("Frame shown"));
    m_saveLoopButton->setAccessibleDescription(tr("Save the frames as a loop: GIF, MP4 or WebP"));
    m_liveButton->setAccessibleDescription(tr("Back to the live page"));
    m_playTimer->setObjectName(QStringLiteral("playTimer"));
    auto* row = new QHBoxLayout(m_replayBar);
    row->setContentsMargins(4, 2, 4, 2);
    for (QWidget* w : std::initializer_list<QWidget*>{m_playButton, m_speedBox, m_frameSlider, m_frameLabel,
                                                      m_saveLoopButton, m_liveButton}) {
        row->addWidget(w, w == m_frameSlider ? 1 : 0);
    }
    connect(m_playButton, &QPushButton::clicked, this, &ReplayView::playPause);
    connect(m_liveButton, &QPushButton::clicked, this, &ReplayView::closeRequested);
    connect(m_saveLoopButton, &QPushButton::clicked, this, &ReplayView::saveLoop);
    auto* saveKey = new QAction(this); // Ctrl+S while Replay shows, wherever the focus is in the window
    saveKey->setShortcut(QKeySequence::Save);
    saveKey->setShortcutContext(Qt::WindowShortcut);
    addAction(saveKey);
    connect(saveKey, &QAction::triggered, this, &ReplayView::saveLoop);
    connect(m_frameSlider, &QSlider::valueChanged, this, &ReplayView::showFrame);
    connect(m_speedBox, &QComboBox::currentIndexChanged, this, [this](int speed) {
        if (m_state.Prefs.replaySpeed != speed) {
            m_state.Prefs.replaySpeed = speed;
            m_preferences.save(m_state.Prefs);
        }
    });
    m_playTimer->setSingleShot(true); // each frame sets how long it is held
    connect(m_playTimer, &QTimer::timeout, this, [this] {
        showFrame(m_frames.isEmpty() ? -1 : (m_index + 1) % int(m_frames.size()));
        m_playTimer->start(holdMs());
    });
}

void ReplayView::open(const FrameStore& store, const QString& address, int speed)
{
    m_store = &store;
    m_address = address;
    m_frames.clear();
    m_png.clear();
    m_index = -1;
    m_shown = QImage(); // the last address's picture is not this one's
    m_speedBox->setCurrentIndex(qBound(0, speed, Preferences::SpeedCount - 1));
    reload();
    showFrame(int(m_frames.size()) - 1);
}

void ReplayView::toggleOver(QWidget* browser, const QString& address, const FrameStore& store)
{
    if (isVisible()) {
        m_playTimer->stop();
        hide();
        browser->setFocus();
        return;
    }
    open(store, address, m_state.Prefs.replaySpeed);
    setGeometry(browser->geometry());
    show();
    raise();
    setFocus();
}

void ReplayView::follow(const QString& address)
{
    if (isVisible() && m_store != nullptr && address != m_address) {
        m_playTimer->stop();
        m_playButton->setText(tr("Play"));
        open(*m_store, address, m_speedBox->currentIndex());
        update();
    }
}

void ReplayView::frameKept(const QString& address)
{
    if (isVisible() && address == m_address) {
        reload();
    }
}

void ReplayView::reload()
{
    if (m_store == nullptr) {
        return;
    }
    const QDateTime shown = m_index >= 0 ? m_frames[m_index].takenUtc : QDateTime();
    QHash<QString, QByteArray> read; // frames never change once kept: only new files are read
    for (int i = 0; i < m_frames.size(); ++i) {
        read.insert(m_frames[i].path, m_png[i]);
    }
    QList<FrameStore::Frame> frames;
    QList<QByteArray> png;
    for (const FrameStore::Frame& f : m_store->frames(m_address)) {
        QByteArray bytes = read.value(f.path);
        if (bytes.isEmpty()) {
            bytes = m_store->read(f);
        }
        if (bytes.isEmpty()) {
            continue; // damaged or foreign: passed over
        }
        frames.append(f);
        png.append(std::move(bytes));
    }
    m_frames = frames;
    m_png = png;
    // The frame on screen stays; when it is gone (pruned, or deleted by another window), the next one
    // that is still there, else the newest.
    m_index = int(m_frames.size()) - 1;
    for (int i = int(m_frames.size()) - 1; i >= 0 && shown.isValid(); --i) {
        if (m_frames[i].takenUtc >= shown) {
            m_index = i;
        }
    }
    const QSignalBlocker quiet(m_frameSlider);
    m_frameSlider->setRange(0, qMax(0, int(m_frames.size()) - 1));
    if (m_index < 0) {
        m_shown = QImage();
        m_frameLabel->setText(tr("No frames yet"));
        update();
    } else if (m_frames[m_index].takenUtc != shown) {
        showFrame(m_index);
    } else {
        m_frameSlider->setValue(m_index);
        m_frameLabel->setText(tr("%1 of %2").arg(m_index + 1).arg(m_frames.size()));
    }
}

bool ReplayView::playing() const
{
    return m_playTimer->isActive();
}

void ReplayView::showFrame(int index)
{
    if (index < 0 || index >= m_frames.size()) {
        return;
    }
    m_index = index;
    m_shown = QImage::fromData(m_png[index], "PNG");
    m_shownTime = m_frames[index].takenUtc.toLocalTime().toString(QStringLiteral("ddd HH:mm"));
    const QSignalBlocker quiet(m_frameSlider);
    m_frameSlider->setValue(index);
    m_frameLabel->setText(tr("%1 of %2").arg(index + 1).arg(m_frames.size()));
    update();
}

int ReplayView::holdMs() const
{
    return LoopTiming::holdMs(m_index, int(m_frames.size()),
                              Preferences::FramesPerSecond[m_speedBox->currentIndex()],
                              m_state.Prefs.dwellMs);
}

void ReplayView::playPause()
{
    if (m_playTimer->isActive()) {
        m_playTimer->stop();
    } else if (m_frames.size() > 1) {
        if (m_index == int(m_frames.size()) - 1) {
            showFrame(0); // from the start
        }
        m_playTimer->start(holdMs());
    }
    m_playButton->setText(m_playTimer->isActive() ? tr("Pause") : tr("Play"));
}

void ReplayView::saveLoop()
{
    if (m_frames.isEmpty() || m_saving != nullptr) {
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    bool timeOnFrames = m_state.Prefs.timeOnFrames;
    const QString path =
        m_dialogs.askSaveLoopPath(QDir(folder).filePath(QStringLiteral("Loop.webp")), &timeOnFrames);
    if (path.isEmpty()) {
        return;
    }
    if (timeOnFrames != m_state.Prefs.timeOnFrames) { // the choice holds for the next loop too
        m_state.Prefs.timeOnFrames = timeOnFrames;
        m_preferences.save(m_state.Prefs);
    }
    // Made on a thread of its own: a long loop takes seconds, and the window goes on meanwhile. It is
    // timed as Replay plays it, the newest frame held for the dwell.
    QStringList times;
    for (const FrameStore::Frame& f : m_frames) {
        times.append(ShownTime::of(f.takenUtc));
    }
    const QList<int> durations =
        LoopTiming::durations(int(m_frames.size()), Preferences::FramesPerSecond[m_speedBox->currentIndex()],
                              m_state.Prefs.dwellMs);
    m_saving = new LoopSaveJob(m_png, durations, times, m_state.Prefs.timeOnFrames, path, this);
    auto* progress = new QProgressDialog(tr("Saving the loop..."), tr("Cancel"), 0, m_saving->steps(), this);
    progress->setWindowTitle(QStringLiteral("Skyvane"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(400);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    connect(m_saving, &LoopSaveJob::progressed, progress, &QProgressDialog::setValue);
    connect(progress, &QProgressDialog::canceled, m_saving, &LoopSaveJob::cancel);
    connect(m_saving, &LoopSaveJob::finished, this, [this, progress, path](bool saved, bool cancelled) {
        progress->deleteLater();
        m_saving->deleteLater();
        m_saving = nullptr;
        const QString shown = QDir::toNativeSeparators(path);
        if (saved) {
            m_dialogs.saved(path);
        }
        emit message(cancelled ? tr("The loop was not saved")
                     : saved   ? tr("Loop saved as %1").arg(shown)
                               : tr("The loop could not be saved as %1").arg(shown));
    });
    m_saving->start();
}

void ReplayView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect area(0, 0, width(), m_replayBar->y());
    p.fillRect(rect(), Qt::black);
    FramePainter::paint(p, area, m_shown, m_shownTime);
    if (m_shown.isNull()) {
        p.setPen(Qt::white);
        p.drawText(area, Qt::AlignCenter, tr("No frames of this page yet"));
    }
    if (!m_notKept.isEmpty()) {
        const QString text = tr("Frames are not being kept: %1").arg(m_notKept);
        const QRect box = p.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3);
        const QRect placed = box.translated(area.width() - box.width() - 10 - box.left(), 10 - box.top());
        p.fillRect(placed, QColor(150, 90, 0, 220));
        p.setPen(Qt::white);
        p.drawText(placed, Qt::AlignCenter, text);
    }
}

void ReplayView::keyPressEvent(QKeyEvent* event)
{
    const int last = int(m_frames.size()) - 1;
    switch (event->key()) {
    case Qt::Key_Space:
        playPause();
        break;
    case Qt::Key_Left:
        showFrame(qMax(0, m_index - 1));
        break;
    case Qt::Key_Right:
        showFrame(qMin(last, m_index + 1));
        break;
    case Qt::Key_Home:
        showFrame(0);
        break;
    case Qt::Key_End:
        showFrame(last);
        break;
    case Qt::Key_Escape:
        emit closeRequested();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReplayView::resizeEvent(QResizeEvent*)
{
    layoutBar();
}

void ReplayView::layoutBar()
{
    const int h = m_replayBar->sizeHint().height();
    m_replayBar->setGeometry(0, height() - h, width(), h);
}
