#pragma once

#include <QByteArray>
#include <QtGlobal>

// How Skyvane asks a site cheaply whether a page or its picture changed, and what the answer says:
// a conditional request from the validators of the last answer (ETag, Last-Modified), or, where the
// server gave neither, a HEAD whose length and validators are compared.
class UpdateCheck
{
public:
    // What one answer said of the resource.
    struct Answer
    {
        int status = 0; // 0: no answer (refused, timed out, no such host)
        QByteArray etag;
        QByteArray lastModified;
        qint64 length = -1; // -1: not given
    };

    enum class Ask
    {
        Conditional, // GET with If-None-Match / If-Modified-Since; its body is never read
        Head,
    };

    enum class Verdict
    {
        First, // the first answer: nothing to compare with yet
        Same,
        Changed,
        CannotCompare, // no validator and no length: nothing tells a change
        Failed,        // no answer, or not a good one: says nothing of the picture
    };

    static Ask howToAsk(const Answer& last)
    {
        return last.etag.isEmpty() && last.lastModified.isEmpty() ? Ask::Head : Ask::Conditional;
    }

    // Whether an answer can tell a change at all.
    static bool comparable(const Answer& a)
    {
        return !a.etag.isEmpty() || !a.lastModified.isEmpty() || a.length >= 0;
    }

    // last: the last good answer (status 0: none yet).
    static Verdict judge(const Answer& last, const Answer& next);

    // What is kept for the next question: the new answer, or the last one where the new one was a
    // 304 (which need not repeat the validators) or no good answer.
    static Answer kept(const Answer& last, const Answer& next, Verdict verdict);
};
