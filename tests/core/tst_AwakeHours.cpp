#include "core/AwakeHours.h"

#include <QDateTime>
#include <QTest>
#include <QTimeZone>

class TestAwakeHours : public QObject
{
    Q_OBJECT
private slots:
    void readAndJudged()
    {
        const struct
        {
            const char* text;
            const char* readBack; // nullptr: refused
            QList<const char*> awake;
            QList<const char*> asleep;
        } rows[] = {
            {"07:00-23:00", "07:00-23:00", {"07:00", "12:00", "22:59"}, {"06:59", "23:00", "00:00"}},
            {"22:00-02:00", "22:00-02:00", {"22:00", "23:59", "00:00", "01:59"}, {"02:00", "12:00", "21:59"}},
            {" 6:30-9:00 , 17:00-24:00",
             "06:30-09:00,17:00-24:00",
             {"06:30", "08:59", "17:00", "23:59"},
             {"09:00", "16:59", "00:00"}},
            {"00:00-24:00", "00:00-24:00", {"00:00", "12:00", "23:59"}, {}},
            {"08:00-08:00", nullptr, {}, {}}, // no time at all
            {"24:00-06:00", nullptr, {}, {}}, // midnight begins a day as 00:00
            {"07:60-08:00", nullptr, {}, {}},
            {"7-8", nullptr, {}, {}},
            {"07:00-08:00,", nullptr, {}, {}},
            {"", nullptr, {}, {}},
        };
        for (const auto& r : rows) {
            QString why;
            const std::optional<AwakeHours> hours = AwakeHours::parse(QString::fromLatin1(r.text), &why);
            QCOMPARE(hours ? hours->text() : QString(), QString::fromLatin1(r.readBack));
            QCOMPARE(why.isEmpty(), r.readBack != nullptr);
            for (const char* t : r.awake) {
                QVERIFY2(hours->awakeAt(QTime::fromString(QString::fromLatin1(t), QStringLiteral("HH:mm"))),
                         t);
            }
            for (const char* t : r.asleep) {
                QVERIFY2(!hours->awakeAt(QTime::fromString(QString::fromLatin1(t), QStringLiteral("HH:mm"))),
                         t);
            }
        }
    }

    // The wall clock of the zone decides, across the days daylight saving time begins and ends.
    void daylightSavingDays()
    {
        const QTimeZone berlin("Europe/Berlin");
        if (!berlin.isValid()) {
            QSKIP("no time zone data");
        }
        const AwakeHours hours = *AwakeHours::parse(QStringLiteral("06:00-22:00"));
        const struct
        {
            QDateTime utc;
            bool awake;
        } rows[] = {
            {QDateTime(QDate(2026, 3, 28), QTime(4, 30), Qt::UTC), false}, // 05:30 CET
            {QDateTime(QDate(2026, 3, 29), QTime(4, 30), Qt::UTC), true},  // 06:30 CEST, the first summer day
            {QDateTime(QDate(2026, 3, 29), QTime(20, 30), Qt::UTC), false}, // 22:30 CEST
            {QDateTime(QDate(2026, 10, 25), QTime(4, 30), Qt::UTC), false}, // 05:30 CET, winter again
            {QDateTime(QDate(2026, 10, 25), QTime(5, 0), Qt::UTC), true},   // 06:00 CET
        };
        for (const auto& r : rows) {
            QCOMPARE(hours.awakeAt(r.utc, berlin), r.awake);
        }
    }
};

QTEST_GUILESS_MAIN(TestAwakeHours)
#include "tst_AwakeHours.moc"
