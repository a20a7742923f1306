#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Tells assistive technology what somebody who cannot see the window must not miss (a refresh that
// failed, a storm alert, a change of the Internet connection): the widget's description becomes the
// words, and an alert is raised on it, which a screen reader reads out.
class Announcer : public QObject
{
    Q_OBJECT
public:
    explicit Announcer(QWidget* on, QObject* parent = nullptr);

    void announce(const QString& words);

private:
    QWidget* m_on;
};
