#pragma once

#include "core/FixedText.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QStyledItemDelegate>

// Edits a site's name in place. The name is kept as its field in the site list can hold it; a name
// cut there, or with characters the field cannot hold, is told (cut) as it is entered.
class NameEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    NameEditDelegate(int width, QObject* parent) : QStyledItemDelegate(parent), m_width(width) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        const QString typed = FixedText::trimSpaces(line->text());
        const QString kept = FixedText::kept(typed, m_width);
        model->setData(index, kept, Qt::EditRole);
        if (kept != typed) {
            emit cut(typed, kept);
        }
    }

signals:
    void cut(const QString& typed, const QString& kept) const;

private:
    int m_width; // bytes
};
