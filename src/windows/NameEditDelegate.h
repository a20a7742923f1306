#pragma once

#include <QLineEdit>
#include <QStyledItemDelegate>

// Edits a site's name in place, no longer than its field in the site list: what is typed is what is kept.
class NameEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    NameEditDelegate(int maxLength, QObject* parent) : QStyledItemDelegate(parent), m_maxLength(maxLength) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setMaxLength(m_maxLength);
        }
        return editor;
    }

private:
    int m_maxLength;
};
