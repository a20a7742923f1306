#include "ProcessTreeMemory.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace {

qint64 parentOf(const QString& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

qint64 field(const QByteArray& text, const QByteArray& name)
{
    const qsizetype at = text.indexOf("\n" + name + ":");
    const qsizetype start = at < 0 ? (text.startsWith(name + ":") ? 0 : -1) : at + 1;
    if (start < 0) {
        return 0;
    }
    return text.mid(start + name.size() + 1).trimmed().split(' ').first().toLongLong();
}

} // namespace

QList<qint64> ProcessTreeMemory::tree(qint64 rootPid)
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (ok) {
            children[parentOf(e)].append(pid);
        }
    }
    QList<qint64> out{rootPid};
    for (qsizetype i = 0; i < out.size(); ++i) {
        out.append(children.value(out.at(i)));
    }
    return out;
}

ProcessTreeMemory::Sample ProcessTreeMemory::sample(qint64 rootPid)
{
    Sample s;
    for (qint64 pid : tree(rootPid)) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = rollup.readAll();
        s.pssKiB += field(text, "Pss");
        s.rssKiB += field(text, "Rss");
        s.ussKiB += field(text, "Private_Clean") + field(text, "Private_Dirty");
        ++s.processes;
    }
    return s;
}
