#include "core/UpdateCheck.h"

#include <QTest>

// What an answer of the site says of a change, and how the next question is asked.
class TestUpdateCheck : public QObject
{
    Q_OBJECT
private slots:
    void judge()
    {
        using A = UpdateCheck::Answer;
        using V = UpdateCheck::Verdict;
        const A none{};
        const A tagged{200, "\"v1\"", "Tue, 08 Dec 2026 14:20:00 GMT", 5000};
        const A dated{200, {}, "Tue, 08 Dec 2026 14:20:00 GMT", -1};
        const A sized{200, {}, {}, 5000};
        const struct
        {
            A last, next;
            V verdict;
        } rows[] = {
            {none, tagged, V::First},
            {none, A{200, {}, {}, -1}, V::CannotCompare}, // nothing to tell a change by
            {tagged, A{304, {}, {}, -1}, V::Same},
            {none, A{304, {}, {}, -1}, V::Failed}, // nothing was asked conditionally
            {tagged, A{0, {}, {}, -1}, V::Failed}, // no answer
            {tagged, A{503, {}, {}, -1}, V::Failed},
            {tagged, A{200, "\"v1\"", "Tue, 08 Dec 2026 14:26:00 GMT", 5100}, V::Same}, // the ETag decides
            {tagged, A{200, "\"v2\"", "Tue, 08 Dec 2026 14:20:00 GMT", 5000}, V::Changed},
            {dated, A{200, {}, "Tue, 08 Dec 2026 14:26:00 GMT", -1}, V::Changed},
            {dated, dated, V::Same},
            {sized, A{200, {}, {}, 5000}, V::Same}, // a HEAD compared by length alone
            {sized, A{200, {}, {}, 5001}, V::Changed},
            {sized, A{200, "\"v1\"", {}, -1}, V::First}, // other kinds than before: compared from now on
        };
        for (const auto& r : rows) {
            QCOMPARE(UpdateCheck::judge(r.last, r.next), r.verdict);
        }
        QCOMPARE(UpdateCheck::howToAsk(none), UpdateCheck::Ask::Head);
        QCOMPARE(UpdateCheck::howToAsk(sized), UpdateCheck::Ask::Head);
        QCOMPARE(UpdateCheck::howToAsk(dated), UpdateCheck::Ask::Conditional);
        // A 304 need not repeat the validators: the last ones are kept; a failure keeps them too.
        QCOMPARE(UpdateCheck::kept(tagged, A{304, {}, {}, -1}, V::Same).etag, tagged.etag);
        QCOMPARE(UpdateCheck::kept(tagged, A{0, {}, {}, -1}, V::Failed).etag, tagged.etag);
        QCOMPARE(UpdateCheck::kept(tagged, A{200, "\"v2\"", {}, -1}, V::Changed).etag, QByteArray("\"v2\""));
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_UpdateCheck.moc"
