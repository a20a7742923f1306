#include "windows/SiteListEditor.h"

#include "core/AddressRules.h"

#include "core/EditorLayout.h"
#include "core/SiteListModel.h"
#include "windows/ApplicationFont.h"
#include "windows/DesignedFont.h"
#include "windows/NameEditDelegate.h"
#include "windows/OuterGeometry.h"
#include "windows/ScreenTwips.h"

#include <QAbstractItemDelegate>
#include <QCloseEvent>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

SiteListEditor::SiteListEditor(AppState& state, std::function<QString()> locationUrl, MessageBoxes* messages,
                               QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_locationUrl(std::move(locationUrl)), m_twips(ScreenTwips::of(this)),
      m_messages(messages), m_store(state.siteListPath(), messages), m_model(new SiteListModel(this))
{
    setObjectName(QStringLiteral("SiteListEditor"));
    setWindowTitle(QStringLiteral("Edit Selector List"));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));
    setModal(true);
    setSizeGripEnabled(false);

    m_siteList = new QTreeView(this);
    m_siteList->setObjectName(QStringLiteral("siteList"));
    m_siteList->setModel(m_model);
    m_siteList->setRootIsDecorated(false);
    m_siteList->setUniformRowHeights(true);
    m_siteList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_siteList->setAllColumnsShowFocus(true);
    m_siteList->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    m_siteList->header()->setSectionsClickable(false);
    m_siteList->header()->setStretchLastSection(false);
    m_siteList->viewport()->installEventFilter(this);
    auto* names = new NameEditDelegate(SiteRecord::NameWidth, m_siteList);
    m_siteList->setItemDelegateForColumn(SiteListModel::NameColumn, names);
    connect(m_siteList, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        m_siteList->edit(index.siblingAtColumn(SiteListModel::NameColumn));
    });
    connect(
        names, &NameEditDelegate::cut, this,
        [this](const QString&, const QString& kept) {
            if (m_messages != nullptr) {
                m_messages->show(tr("The site list holds a name of up to %1 characters, in the letters of "
                                    "Western European languages; a character it cannot hold becomes \"?\".\n"
                                    "The name is kept as: %2")
                                     .arg(SiteRecord::NameWidth)
                                     .arg(kept),
                                 MessageBoxes::Buttons::Ok);
            }
        },
        Qt::QueuedConnection); // once the edit has closed

    m_addButton = new QPushButton(QStringLiteral("Add Currently Displayed Web Page To List"), this);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_deleteButton = new QPushButton(QStringLiteral("Delete List Item Selected Below"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_addButton->setAutoDefault(false);
    m_deleteButton->setAutoDefault(false);
    connect(m_addButton, &QPushButton::clicked, this, &SiteListEditor::addDisplayedPage);
    connect(m_deleteButton, &QPushButton::clicked, this, &SiteListEditor::deleteSelectedSite);
    place(m_addButton, 30, 15, 4545, 300);
    place(m_deleteButton, 4590, 15, 4545, 300);
    place(m_siteList, 0, 315, 9210, 2805);
    m_siteList->setAccessibleName(tr("Saved sites"));
    m_siteList->setAccessibleDescription(
        tr("F2 renames the site; the Menu key or Shift+F10 opens its moves; Delete removes it"));
    m_addButton->setAccessibleDescription(tr("Add the page shown in the main window to the list"));
    m_deleteButton->setAccessibleDescription(tr("Delete the site selected in the list"));
    setTabOrder(m_siteList, m_addButton);
    setTabOrder(m_addButton, m_deleteButton);

    m_rowMenu = new QMenu(QStringLiteral("AddLvPop1"), this);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto item = [this](const char* name, const QString& caption, void (SiteListEditor::*handler)()) {
        QAction* a = m_rowMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    m_moveUpItem = item("moveUpItem", QStringLiteral("Move Up"), &SiteListEditor::moveUp);
    m_moveDownItem = item("moveDownItem", QStringLiteral("Move Down"), &SiteListEditor::moveDown);
    m_moveToTopItem = item("moveToTopItem", QStringLiteral("Move To &Top"), &SiteListEditor::moveToTop);
    m_moveToBottomItem =
        item("moveToBottomItem", QStringLiteral("Move To &Bottom"), &SiteListEditor::moveToBottom);
    m_rowMenu->addSeparator()->setObjectName(QStringLiteral("moveSeparator"));
    m_deleteItem =
        item("deleteItem", QStringLiteral("Delete From List"), &SiteListEditor::deleteSelectedSite);

    resize(m_twips.toPixelsX(9195), m_twips.toPixelsY(3120));
    m_outer = new OuterGeometry(this);
}

SiteListEditor::~SiteListEditor() = default;

void SiteListEditor::place(QWidget* w, float left, float top, float width, float height) const
{
    w->setGeometry(m_twips.rect(left, top, width, height));
}

TwipRect SiteListEditor::outerTwips() const
{
    return OuterGeometry::twipsOf(this, m_twips);
}

void SiteListEditor::rememberSize()
{
    const TwipRect outer = outerTwips();
    m_state.Settings.EditorWidth = outer.width;
    m_state.Settings.EditorHeight = outer.height;
}

void SiteListEditor::setOuterSize(float width, float height)
{
    const QMargins frame = OuterGeometry::frameOf(this);
    resize(m_twips.toPixelsX(width) - frame.left() - frame.right(),
           m_twips.toPixelsY(height) - frame.top() - frame.bottom());
}

void SiteListEditor::loadWindow()
{
    ApplicationFont::applyTo(m_siteList, m_state.Settings);
    m_model->setSites(m_store.load());

    // Centred on the screen, at the stored outer size.
    m_outer->apply(QSize(m_twips.toPixelsX(m_state.Settings.EditorWidth),
                         m_twips.toPixelsY(m_state.Settings.EditorHeight)),
                   std::nullopt);
    layOut();
    m_siteList->setFocus();
    m_listLoaded = true;
}

bool SiteListEditor::listChanged() const
{
    return m_model->changed();
}

void SiteListEditor::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void SiteListEditor::layOut()
{
    if (isMinimized()) {
        return;
    }
    if (const TwipRect outer = outerTwips();
        outer.width < EditorLayout::MinWidth || outer.height < EditorLayout::MinHeight) {
        setOuterSize(qMax(outer.width, EditorLayout::MinWidth), qMax(outer.height, EditorLayout::MinHeight));
    }
    const float sw = m_twips.fromPixelsX(width());
    const float sh = m_twips.fromPixelsY(height());
    place(m_addButton, EditorLayout::ButtonLeft, EditorLayout::ButtonTop, EditorLayout::addWidth(sw),
          EditorLayout::ButtonHeight);
    place(m_deleteButton, EditorLayout::deleteLeft(sw), EditorLayout::ButtonTop,
          EditorLayout::deleteWidth(sw), EditorLayout::ButtonHeight);
    place(m_siteList, 0, EditorLayout::ListTop, sw, EditorLayout::listHeight(sh));
    const int column = m_twips.toPixelsX(EditorLayout::columnWidth(m_twips.fromPixelsX(m_siteList->width())));
    m_siteList->setColumnWidth(SiteListModel::NameColumn, column);
    m_siteList->setColumnWidth(SiteListModel::AddressColumn, column);
    if (!isMaximized() && !isMinimized() && m_listLoaded) {
        rememberSize();
    }
}

void SiteListEditor::addDisplayedPage()
{
    // The address as the browser sent it (encoded); one that does not fit its field is refused, not cut
    // into the address of another page.
    const QString address = m_locationUrl ? m_locationUrl() : QString();
    if (!AddressRules::fits(address, SiteRecord::URLWidth)) {
        if (m_messages != nullptr) {
            m_messages->show(
                QStringLiteral("This address is too long for the site list (%1 characters, %2 at "
                               "most). It was not added.")
                    .arg(address.size())
                    .arg(SiteRecord::URLWidth),
                MessageBoxes::Buttons::Ok);
        }
        return;
    }
    m_model->add(SiteRecord{m_state.PageTitle.left(80), address});
}

QModelIndex SiteListEditor::selectedIndex() const
{
    const QModelIndexList selected = m_siteList->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

int SiteListEditor::selectedPosition() const
{
    const QModelIndex selected = selectedIndex();
    return selected.isValid() ? selected.row() + 1 : 0;
}

void SiteListEditor::deleteSelectedSite()
{
    m_model->remove(selectedPosition() - 1); // none selected: nothing to delete
}

void SiteListEditor::mouseReleasedOnList(Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        m_rowMenu->popup(QCursor::pos());
    }
}

void SiteListEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) { // (a name being edited keeps its own Delete)
        deleteSelectedSite();             // as the Delete button
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        // The row menu from the keyboard, beside the selected row: the moves need no mouse.
        const QModelIndex selected = selectedIndex();
        const QRect row =
            selected.isValid()
                ? m_siteList->visualRect(selected.siblingAtColumn(SiteListModel::NameColumn)) |
                      m_siteList->visualRect(selected.siblingAtColumn(SiteListModel::AddressColumn))
                : QRect();
        m_rowMenu->popup(m_siteList->viewport()->mapToGlobal(row.isNull() ? QPoint(0, 0) : row.bottomLeft()));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool SiteListEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_siteList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        mouseReleasedOnList(static_cast<QMouseEvent*>(event)->button());
    }
    return QDialog::eventFilter(watched, event);
}

void SiteListEditor::moveSelected(SiteListReorder::Move how)
{
    if (const std::optional<int> row = m_model->move(how, selectedPosition())) {
        m_siteList->setCurrentIndex(m_model->index(*row, SiteListModel::NameColumn));
    }
}

void SiteListEditor::moveUp()
{
    moveSelected(SiteListReorder::Move::Up);
}

void SiteListEditor::moveDown()
{
    moveSelected(SiteListReorder::Move::Down);
}

void SiteListEditor::moveToTop()
{
    moveSelected(SiteListReorder::Move::ToTop);
}

void SiteListEditor::moveToBottom()
{
    moveSelected(SiteListReorder::Move::ToBottom);
}

void SiteListEditor::saveOnClose()
{
    switch (m_store.save(m_model->sites(), m_model->changed(), m_ending)) {
    case SiteListStore::Saved::Written:
        if (m_model->rowCount() >= 1) { // the selector is rebuilt only when the file matches it
            emit listSaved(m_model->names());
        }
        break;
    case SiteListStore::Saved::OtherShown:
        m_keepOpen = true; // shown here to look at
        m_model->setChanged(false);
        break;
    case SiteListStore::Saved::OtherKept:
        m_model->setChanged(false); // the other window's list stays
        break;
    case SiteListStore::Saved::Unchanged:
    case SiteListStore::Saved::NotWritten:
        break;
    }
    if (!isMaximized() && !isMinimized()) {
        rememberSize();
    }
}

bool SiteListEditor::finish()
{
    if (!m_closed) {
        m_closed = true;
        commitOpenRename();
        saveOnClose();
        if (m_keepOpen) {
            m_keepOpen = false;
            m_closed = false;
            loadWindow(); // the other window's list, in place of this one's
            return false;
        }
    }
    return true;
}

void SiteListEditor::closeAtEnd()
{
    m_ending = true;
    close();
}

void SiteListEditor::commitOpenRename()
{
    // A name still being typed counts, as it does when another row is clicked.
    const QModelIndex index = m_siteList->currentIndex().siblingAtColumn(SiteListModel::NameColumn);
    QWidget* editor = index.isValid() ? m_siteList->indexWidget(index) : nullptr;
    if (editor != nullptr) {
        QAbstractItemDelegate* delegate = m_siteList->itemDelegateForIndex(index);
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
}

void SiteListEditor::done(int result)
{
    if (finish()) {
        QDialog::done(result);
    }
}

void SiteListEditor::closeEvent(QCloseEvent* event)
{
    if (!finish()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
