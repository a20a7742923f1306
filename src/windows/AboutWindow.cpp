#include "windows/AboutWindow.h"

#include "windows/ScreenTwips.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QString& family,
                  double points)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(family);
    f.setPointSizeF(points);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    l->setFocusPolicy(Qt::NoFocus);
    return l;
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutWindow"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_twips = ScreenTwips::of(this);
    setFixedSize(m_twips.toPixelsX(4695), m_twips.toPixelsY(3060));

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setGeometry(m_twips.rect(75, -45, 4545, 3015));

    m_logo = new QLabel(m_frame);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    m_logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_logo->setGeometry(m_twips.rect(660, 240, 3375, 1230));
    m_logo->setAccessibleName(QStringLiteral("Skyvane"));

    m_purposeLabel =
        makeLabel(m_frame, "purposeLabel",
                  QStringLiteral("Custom Built Web Browser For Weather Radar And Large Image Sites."),
                  QStringLiteral("Tahoma"), 9);
    m_purposeLabel->setGeometry(m_twips.rect(1147, 1575, 2400, 960));
    m_noticeLabel =
        makeLabel(m_frame, "noticeLabel", QString::fromLatin1(Notice), QStringLiteral("Comic Sans MS"), 8.25);
    m_noticeLabel->setGeometry(m_twips.rect(240, 2445, 4215, 330));
    auto* version =
        makeLabel(m_frame, "VersionLabel", QStringLiteral("Version %1").arg(QStringLiteral(SKYVANE_VERSION)),
                  QStringLiteral("Tahoma"), 7);
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);
    version->setGeometry(m_twips.rect(2400, 45, 2085, 195));

    setAccessibleDescription(tr("Esc closes it"));
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
