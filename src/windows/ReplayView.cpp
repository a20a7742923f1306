#include "windows/ReplayView.h"

#include "core/CommonDialogs.h"
#include "core/Preferences.h"
#include "core/RegularFile.h"
#include "platform/LoopSaveJob.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
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

ReplayView::ReplayView(CommonDialogs& dialogs, AppState& state, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_state(state), replayBar(new QWidget(this)),
      PlayButton(barControl(new QPushButton(tr("Play"), replayBar), "PlayButton")),
      SpeedBox(barControl(new QComboBox(replayBar), "SpeedBox")),
      FrameSlider(barControl(new QSlider(Qt::Horizontal, replayBar), "FrameSlider")),
      frameLabel(new QLabel(replayBar)),
      SaveLoop(barControl(new QPushButton(tr("Save Loop As..."), replayBar), "SaveLoop")),
      LiveButton(barControl(new QPushButton(tr("Live"), replayBar), "LiveButton")),
      playTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("ReplayView"));
    hide(); // until asked for, even when its parent shows
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    replayBar->setObjectName(QStringLiteral("replayBar"));
    replayBar->setAutoFillBackground(true);
    frameLabel->setObjectName(QStringLiteral("frameLabel"));
    SpeedBox->addItems({tr("Slow"), tr("Normal"), tr("Fast")});
    FrameSlider->setPageStep(1); // a click beside the handle is one frame on, not ten
    playTimer->setObjectName(QStringLiteral("playTimer"));
    auto* row = new QHBoxLayout(replayBar);
    row->setContentsMargins(4, 2, 4, 2);
    for (QWidget* w : std::initializer_list<QWidget*>{PlayButton, SpeedBox, FrameSlider, frameLabel, SaveLoop,
                                                      LiveButton}) {
        row->addWidget(w, w == FrameSlider ? 1 : 0);
    }
    connect(PlayButton, &QPushButton::clicked, this, &ReplayView::playPause);
    connect(LiveButton, &QPushButton::clicked, this, &ReplayView::closeRequested);
    connect(SaveLoop, &QPushButton::clicked, this, &ReplayView::saveLoop);
    auto* saveKey = new QAction(this); // Ctrl+S while Replay shows, wherever the focus is in the window
    saveKey->setShortcut(QKeySequence::Save);
    saveKey->setShortcutContext(Qt::WindowShortcut);
    addAction(saveKey);
    connect(saveKey, &QAction::triggered, this, &ReplayView::saveLoop);
    connect(FrameSlider, &QSlider::valueChanged, this, &ReplayView::showFrame);
    connect(SpeedBox, &QComboBox::currentIndexChanged, this, [this](int speed) {
        playTimer->setInterval(int(1000 / Preferences::FramesPerSecond[qBound(0, speed, 2)]));
        if (m_state.Prefs.replaySpeed != speed) {
            m_state.Prefs.replaySpeed = speed;
            m_state.Prefs.save(m_state.preferencesPath());
        }
    });
    connect(playTimer, &QTimer::timeout, this,
            [this] { showFrame(m_frames.isEmpty() ? -1 : (m_index + 1) % int(m_frames.size())); });
}

void ReplayView::open(const FrameStore& store, const QString& address, int speed)
{
    m_store = &store;
    m_address = address;
    m_frames.clear();
    m_png.clear();
    m_index = -1;
    m_shown = QImage(); // the last address's picture is not this one's
    SpeedBox->setCurrentIndex(qBound(0, speed, Preferences::SpeedCount - 1));
    playTimer->setInterval(int(1000 / Preferences::FramesPerSecond[SpeedBox->currentIndex()]));
    reload();
    showFrame(int(m_frames.size()) - 1);
}

void ReplayView::toggleOver(QWidget* browser, const QString& address, const FrameStore& store)
{
    if (isVisible()) {
        playTimer->stop();
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
        playTimer->stop();
        PlayButton->setText(tr("Play"));
        open(*m_store, address, SpeedBox->currentIndex());
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
            bytes = RegularFile::read(f.path, 64 * 1024 * 1024).value_or(QByteArray());
        }
        if (!bytes.startsWith("\x89PNG")) {
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
    const QSignalBlocker quiet(FrameSlider);
    FrameSlider->setRange(0, qMax(0, int(m_frames.size()) - 1));
    if (m_index < 0) {
        m_shown = QImage();
        frameLabel->setText(tr("No frames yet"));
        update();
    } else if (m_frames[m_index].takenUtc != shown) {
        showFrame(m_index);
    } else {
        FrameSlider->setValue(m_index);
        frameLabel->setText(tr("%1 of %2").arg(m_index + 1).arg(m_frames.size()));
    }
}

bool ReplayView::playing() const
{
    return playTimer->isActive();
}

void ReplayView::showFrame(int index)
{
    if (index < 0 || index >= m_frames.size()) {
        return;
    }
    m_index = index;
    m_shown = QImage::fromData(m_png[index], "PNG");
    m_shownTime = m_frames[index].takenUtc.toLocalTime().toString(QStringLiteral("ddd HH:mm"));
    const QSignalBlocker quiet(FrameSlider);
    FrameSlider->setValue(index);
    frameLabel->setText(tr("%1 of %2").arg(index + 1).arg(m_frames.size()));
    update();
}

void ReplayView::playPause()
{
    if (playTimer->isActive()) {
        playTimer->stop();
    } else if (m_frames.size() > 1) {
        if (m_index == int(m_frames.size()) - 1) {
            showFrame(0); // from the start
        }
        playTimer->start();
    }
    PlayButton->setText(playTimer->isActive() ? tr("Pause") : tr("Play"));
}

void ReplayView::saveLoop()
{
    if (m_frames.isEmpty() || m_saving != nullptr) {
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = m_dialogs.askSaveLoopPath(QDir(folder).filePath(QStringLiteral("Loop.webp")));
    if (path.isEmpty()) {
        return;
    }
    // Made on a thread of its own: a long loop takes seconds, and the window goes on meanwhile.
    m_saving = new LoopSaveJob(m_png, path, Preferences::FramesPerSecond[SpeedBox->currentIndex()], this);
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
    const QRect area(0, 0, width(), replayBar->y());
    p.fillRect(rect(), Qt::black);
    if (m_shown.isNull()) {
        p.setPen(Qt::white);
        p.drawText(area, Qt::AlignCenter, tr("No frames of this page yet"));
    } else {
        const QSize fitted = m_shown.size().scaled(area.size(), Qt::KeepAspectRatio);
        p.drawImage(
            QRect(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2), fitted),
            m_shown);
        const QRect box = p.fontMetrics()
                              .boundingRect(m_shownTime)
                              .adjusted(-6, -3, 6, 3)
                              .translated(10, 10 + p.fontMetrics().ascent());
        p.fillRect(box, QColor(0, 0, 0, 170));
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, m_shownTime);
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
    const int h = replayBar->sizeHint().height();
    replayBar->setGeometry(0, height() - h, width(), h);
}
