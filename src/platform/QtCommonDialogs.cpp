#include "QtCommonDialogs.h"

#include <QFileDialog>
#include <QFontDialog>

QString QtCommonDialogs::ShowOpen(const QString& initDir)
{
    QFileDialog dialog(m_parent, QString(), initDir);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

CommonDialogs::Font QtCommonDialogs::ShowFont(const Font& initial)
{
    QFont start(initial.name);
    start.setBold(initial.bold);
    if (initial.size > 0) {
        start.setPointSizeF(initial.size);
    }
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, m_parent, QString(), QFontDialog::ScalableFonts);
    if (!ok) {
        return initial;
    }
    return Font{chosen.family(), chosen.bold(), static_cast<float>(chosen.pointSizeF())};
}

QString QtCommonDialogs::ShowSave(const QString& suggestedPath)
{
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(
        m_parent, QString(), suggestedPath,
        QStringLiteral("Web page, complete (*.html *.htm);;Web archive (*.mhtml *.mht);;All files (*)")));
}
