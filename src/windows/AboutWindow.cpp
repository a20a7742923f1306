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

    frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(m_twips.rect(75, -45, 4545, 3015));

    logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    logo->setGeometry(m_twips.rect(660, 240, 3375, 1230));

    purposeLabel =
        makeLabel(frame, "purposeLabel",
                  QStringLiteral("Custom Built Web Browser For Weather Radar And Large Image Sites."),
                  QStringLiteral("Tahoma"), 9);
    purposeLabel->setGeometry(m_twips.rect(1147, 1575, 2400, 960));
    noticeLabel =
        makeLabel(frame, "noticeLabel", QString::fromLatin1(Notice), QStringLiteral("Comic Sans MS"), 8.25);
    noticeLabel->setGeometry(m_twips.rect(240, 2445, 4215, 330));
    auto* version =
        makeLabel(frame, "VersionLabel", QStringLiteral("Version %1").arg(QStringLiteral(SKYVANE_VERSION)),
                  QStringLiteral("Tahoma"), 7);
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);
    version->setGeometry(m_twips.rect(2400, 45, 2085, 195));

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
