#include "core/UpdateCheck.h"

UpdateCheck::Verdict UpdateCheck::judge(const Answer& last, const Answer& next)
{
    if (next.status == 304) {
        return last.status != 0 ? Verdict::Same : Verdict::Failed; // nothing was asked conditionally
    }
    if (next.status < 200 || next.status > 299) {
        return Verdict::Failed;
    }
    if (!comparable(next)) {
        return Verdict::CannotCompare;
    }
    if (last.status == 0) {
        return Verdict::First;
    }
    // The strongest validator both answers have decides; a server that drops one it gave before
    // (another server behind the same name) is compared on what is left.
    if (!last.etag.isEmpty() && !next.etag.isEmpty()) {
        return last.etag == next.etag ? Verdict::Same : Verdict::Changed;
    }
    if (!last.lastModified.isEmpty() && !next.lastModified.isEmpty()) {
        return last.lastModified == next.lastModified ? Verdict::Same : Verdict::Changed;
    }
    if (last.length >= 0 && next.length >= 0) {
        return last.length == next.length ? Verdict::Same : Verdict::Changed;
    }
    return Verdict::First; // the validators are not the same kinds as before: compare from now on
}

UpdateCheck::Answer UpdateCheck::kept(const Answer& last, const Answer& next, Verdict verdict)
{
    switch (verdict) {
    case Verdict::First:
    case Verdict::Changed:
    case Verdict::CannotCompare:
        return next;
    case Verdict::Same:
        return next.status == 304 ? last : next;
    case Verdict::Failed:
        break;
    }
    return last;
}
