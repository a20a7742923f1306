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

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_twips = ScreenTwips::of(this);
    setFixedSize(m_twips.toPixelsX(4695), m_twips.toPixelsY(3060));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setGeometry(m_twips.rect(75, -45, 4545, 3015));

    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setGeometry(m_twips.rect(660, 240, 3375, 1230));

    Label1 = makeLabel(Frame1, "Label1",
                       QStringLiteral("Custom Built Web Browser For Weather Radar And Large Image Sites."),
                       QStringLiteral("Tahoma"), 9);
    Label1->setGeometry(m_twips.rect(1147, 1575, 2400, 960));
    Label3 = makeLabel(Frame1, "Label3", QString::fromLatin1(Notice), QStringLiteral("Comic Sans MS"), 8.25);
    Label3->setGeometry(m_twips.rect(240, 2445, 4215, 330));
    auto* version =
        makeLabel(Frame1, "VersionLabel", QStringLiteral("Version %1").arg(QStringLiteral(SKYVANE_VERSION)),
                  QStringLiteral("Tahoma"), 7);
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);
    version->setGeometry(m_twips.rect(2400, 45, 2085, 195));

    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

void Form3::Form_KeyPress(int keyAscii)
{
    if (keyAscii == 27) {
        close();
    }
}

void Form3::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Form_KeyPress(27);
        return;
    }
    QWidget::keyPressEvent(event);
}
