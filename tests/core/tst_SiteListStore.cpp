#include "PreparedMessageBoxes.h"
#include "TableRows.h"
#include "TestFiles.h"
#include "core/SiteListStore.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using Saved = SiteListStore::Saved;
using Answer = MessageBoxes::Answer;

// The list AB was read; the editor closes with it changed (or not) to BA, or emptied, while another
// window may have written its own list in between.
struct SaveRow
{
    const char* name;
    bool changed;
    bool emptied;
    bool otherWrote;
    bool asks; // a message box is there to ask
    Answer answer;
    bool ending;
    Saved saved;
    const char* file; // "mine", "other", "read" or "none"
};

const SaveRow kSaves[] = {
    {"unchanged", false, false, false, true, Answer::Yes, false, Saved::Unchanged, "read"},
    {"unchanged, other wrote", false, false, true, true, Answer::Yes, false, Saved::Unchanged, "other"},
    {"changed", true, false, false, true, Answer::Yes, false, Saved::Written, "mine"},
    {"emptied", true, true, false, true, Answer::Yes, false, Saved::Written, "none"},
    {"other wrote, replaced", true, false, true, true, Answer::Yes, false, Saved::Written, "mine"},
    {"other wrote, no", true, false, true, true, Answer::No, false, Saved::OtherShown, "other"},
    {"other wrote, no, ending", true, false, true, true, Answer::No, true, Saved::OtherKept, "other"},
    {"other wrote, cancel", true, false, true, true, Answer::Cancel, false, Saved::OtherKept, "other"},
    {"other wrote, none to ask", true, false, true, false, Answer::No, false, Saved::Written, "mine"},
};

const QByteArray kRead = TestFiles::sites({"A", "http://a/", "B", "http://b/"});
const QByteArray kMine = TestFiles::sites({"B", "http://b/", "A", "http://a/"});
const QByteArray kOther = TestFiles::sites({"C", "http://c/"});

} // namespace

// SiteList.dab as the editor reads and writes it: the version read, another window's list, the write.
class TestSiteListStore : public QObject
{
    Q_OBJECT
private slots:
    void save_data() { addTableRows(kSaves); }
    void save()
    {
        QFETCH(int, row);
        const SaveRow& r = kSaves[row];
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SiteList.dab"));
        TestFiles::write(path, kRead);
        QFile(path).setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
        PreparedMessageBoxes messages;
        messages.answers = {r.answer};
        SiteListStore store(path, r.asks ? &messages : nullptr);
        QList<SiteRecord> sites = store.load();
        QCOMPARE(sites.size(), 2);
        std::swap(sites[0], sites[1]);
        if (r.emptied) {
            sites.clear();
        }
        if (r.otherWrote) {
            TestFiles::write(path, kOther);
        }
        const QDateTime before = QFileInfo(path).lastModified();

        QCOMPARE(store.save(sites, r.changed, r.ending), r.saved);
        const QByteArray file = QLatin1String(r.file) == QLatin1String("mine")    ? kMine
                                : QLatin1String(r.file) == QLatin1String("other") ? kOther
                                : QLatin1String(r.file) == QLatin1String("read")  ? kRead
                                                                                  : QByteArray();
        QCOMPARE(TestFiles::read(path), file);
        QCOMPARE(QFileInfo::exists(path), !file.isEmpty());
        if (r.saved == Saved::Unchanged) {
            QCOMPARE(QFileInfo(path).lastModified(), before); // not even touched
        }
        const bool asked = r.asks && r.changed && r.otherWrote;
        QCOMPARE(messages.shown,
                 asked ? QStringList{"The site list was changed by another Skyvane window. Replace it with "
                                     "this list?"}
                       : QStringList());
        QVERIFY(!asked || messages.shownButtons.first() == MessageBoxes::Buttons::YesNo);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock"))); // the lock is let go
    }
};

QTEST_GUILESS_MAIN(TestSiteListStore)
#include "tst_SiteListStore.moc"
