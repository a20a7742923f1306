#include "QtCommonDialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>

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
    // Open on the style the font really shows (the first style listed may be an italic one).
    start.setStyleName(QFontInfo(start).styleName());
    QFontDialog dialog(m_parent);
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
    if (dialog.exec() != QDialog::Accepted) {
        return initial;
    }
    const QFont chosen = dialog.selectedFont();
    return Font{chosen.family(), chosen.bold(), static_cast<float>(chosen.pointSizeF())};
}

QString QtCommonDialogs::ShowSave(const QString& suggestedPath)
{
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(
        m_parent, QString(), suggestedPath,
        QStringLiteral("Web page, complete (*.html *.htm);;Web archive (*.mhtml *.mht);;All files (*)")));
}
