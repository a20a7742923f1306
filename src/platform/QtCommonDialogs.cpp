#include "platform/QtCommonDialogs.h"

#include "platform/LoopWriter.h"
#include "platform/LoopWriters.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStorageInfo>
#include <QStringListModel>

QString QtCommonDialogs::askOpenPath(const QString& initDir)
{
    QFileDialog dialog(parent(), QString(), initDir);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

CommonDialogs::Font QtCommonDialogs::askFont(const Font& initial)
{
    QFont start(initial.name);
    start.setBold(initial.bold);
    if (initial.size > 0) {
        start.setPointSizeF(initial.size);
    }
    // Open on the style the font really shows (the first style listed may be an italic one).
    start.setStyleName(QFontInfo(start).styleName());
    QFontDialog dialog(parent());
    dialog.setOptions(QFontDialog::ScalableFonts | QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(start);
    // Only the family, boldness and size are kept: offer no effects that would change nothing. The
    // sample beside them keeps the height they shared, so it still shows its text.
    int sharedHeight = 0;
    const QList<QGroupBox*> boxes = dialog.findChildren<QGroupBox*>();
    for (QGroupBox* box : boxes) {
        if (!box->findChildren<QCheckBox*>().isEmpty()) {
            sharedHeight = qMax(sharedHeight, box->sizeHint().height());
            box->hide();
        }
    }
    for (QGroupBox* box : boxes) {
        if (box->isVisibleTo(&dialog)) {
            box->setMinimumHeight(sharedHeight);
        }
    }
    // Only fonts that write the program's own text: a symbol font (listed as Latin too) would turn the
    // address box and the numbers into dingbats. The first list is the families', "Name [foundry]".
    if (auto* families = dialog.findChild<QListView*>()) {
        if (auto* model = qobject_cast<QStringListModel*>(families->model())) {
            QStringList kept = model->stringList();
            kept.removeIf([](const QString& listed) {
                const QList<QFontDatabase::WritingSystem> writes =
                    QFontDatabase::writingSystems(listed.section(QStringLiteral(" ["), 0, 0));
                return !writes.contains(QFontDatabase::Latin) || writes.contains(QFontDatabase::Symbol);
            });
            model->setStringList(kept);
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return initial;
    }
    const QFont chosen = dialog.selectedFont();
    // The sizes the program's strip and its help page are made for.
    const float size = qBound(SmallestSize, static_cast<float>(chosen.pointSizeF()), LargestSize);
    return Font{chosen.family(), chosen.bold(), size};
}

QString QtCommonDialogs::askSavePath(const QString& suggestedPath)
{
    // The suggested name takes the suffix of the type chosen in the dialog (a complete page at
    // first), and the dialog starts where the last page was saved.
    const QFileInfo suggested(suggestedPath);
    const QString folder = m_lastSaveFolder.isEmpty() ? suggested.absolutePath() : m_lastSaveFolder;
    const QStringList filters = {QStringLiteral("Web page, complete (*.html *.htm)"),
                                 QStringLiteral("Web archive (*.mhtml *.mht)")};
    const QStringList suffixes = {QStringLiteral("html"), QStringLiteral("mhtml")};
    QFileDialog dialog(parent(), QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.selectFile(suggested.completeBaseName() + QLatin1Char('.') + suffixes.first());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QStringList typed = dialog.selectedFiles();
        const QString base =
            typed.isEmpty() ? suggested.completeBaseName() : QFileInfo(typed.first()).completeBaseName();
        dialog.selectFile(base + QLatin1Char('.') +
                          suffixes.value(filters.indexOf(filter), suffixes.first()));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

QString QtCommonDialogs::askSaveLoopPath(const QString& suggestedPath, bool* timeOnFrames)
{
    const QFileInfo suggested(suggestedPath);
    QFileDialog dialog(parent(), QStringLiteral("Save Loop As"),
                       m_lastSaveFolder.isEmpty() ? suggested.absolutePath() : m_lastSaveFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Each format the loop can be written in; a name typed without a suffix is given the chosen one's.
    const QList<const LoopWriter*>& writers = LoopWriters::all();
    QStringList filters;
    for (const LoopWriter* writer : writers) {
        filters.append(writer->filter());
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(writers.first()->suffix());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(writers.value(filters.indexOf(filter), writers.first())->suffix());
    });
    dialog.selectFile(suggested.fileName());
    // Qt's own dialog, so that the choice of the frames' times sits under the file name and type.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* timeBox = new QCheckBox(QStringLiteral("&Time on each frame"), &dialog);
    timeBox->setObjectName(QStringLiteral("timeOnFramesBox"));
    timeBox->setChecked(*timeOnFrames);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(timeBox, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (dialog.layout() != nullptr) {
        dialog.layout()->addWidget(timeBox);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    *timeOnFrames = timeBox->isChecked();
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

void QtCommonDialogs::saved(const QString& path)
{
    // Only a folder where a save really went is remembered, and never one of the kernel's own file
    // systems (a dialog opened in /proc can hang on reading a file there).
    static const QStringList pseudo = {"proc",   "sysfs",   "devtmpfs", "devpts", "debugfs",  "tracefs",
                                       "cgroup", "cgroup2", "pstore",   "bpf",    "configfs", "securityfs",
                                       "mqueue", "fusectl", "efivarfs", "autofs", "hugetlbfs"};
    const QString folder = QFileInfo(path).absolutePath();
    const QStorageInfo storage(folder);
    if (storage.isValid() && !pseudo.contains(QString::fromLatin1(storage.fileSystemType()))) {
        m_lastSaveFolder = folder;
    }
}

QWidget* QtCommonDialogs::parent() const
{
    return QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : m_parent;
}

bool QtCommonDialogs::askLogin(const QString& site, const QString& realm, QString* user, QString* password)
{
    QDialog dialog(parent());
    dialog.setWindowTitle(QStringLiteral("Log In to %1").arg(site));
    auto* form = new QFormLayout(&dialog);
    auto* what = new QLabel(
        realm.isEmpty()
            ? QStringLiteral("%1 asks for a user name and password.").arg(site)
            : QStringLiteral("%1 asks for a user name and password (%2).").arg(site, realm.left(120)),
        &dialog);
    what->setTextFormat(Qt::PlainText);
    what->setWordWrap(true);
    auto* name = new QLineEdit(*user, &dialog);
    name->setObjectName(QStringLiteral("LoginUser"));
    auto* secret = new QLineEdit(&dialog);
    secret->setObjectName(QStringLiteral("LoginPassword"));
    secret->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(what);
    form->addRow(QStringLiteral("&User name:"), name);
    form->addRow(QStringLiteral("&Password:"), secret);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    *user = name->text();
    *password = secret->text();
    return true;
}
