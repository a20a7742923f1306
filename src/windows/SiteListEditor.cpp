#include "windows/SiteListEditor.h"

#include "core/AddressRules.h"

#include "core/EditorLayout.h"
#include "core/FileLock.h"
#include "core/ProgramDirectory.h"
#include "core/SiteListFile.h"
#include "windows/ApplicationFont.h"
#include "windows/DesignedFont.h"
#include "windows/NameEditDelegate.h"
#include "windows/NoEditDelegate.h"
#include "windows/OuterGeometry.h"
#include "windows/ScreenTwips.h"

#include <QAbstractItemDelegate>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <cmath>

namespace {

QTreeWidgetItem* makeRow(const QString& name, const QString& url)
{
    auto* item = new QTreeWidgetItem({name, url});
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

} // namespace

SiteListEditor::SiteListEditor(AppState& state, std::function<QString()> locationUrl, MessageBoxes* messages,
                               QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_locationUrl(std::move(locationUrl)), m_twips(ScreenTwips::of(this)),
      m_messages(messages)
{
    setObjectName(QStringLiteral("SiteListEditor"));
    setWindowTitle(QStringLiteral("Edit Selector List"));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));
    setModal(true);
    setSizeGripEnabled(false);

    siteList = new QTreeWidget(this);
    siteList->setObjectName(QStringLiteral("siteList"));
    siteList->setColumnCount(2);
    siteList->setHeaderLabels({QStringLiteral(" Name"), QStringLiteral("URL")});
    siteList->setRootIsDecorated(false);
    siteList->setUniformRowHeights(true);
    siteList->setSelectionMode(QAbstractItemView::SingleSelection);
    siteList->setAllColumnsShowFocus(true);
    siteList->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    siteList->header()->setStretchLastSection(false);
    siteList->viewport()->installEventFilter(this);
    // Only the name column is edited in place; the address stays as it was added.
    siteList->setItemDelegateForColumn(1, new NoEditDelegate(siteList));
    auto* names = new NameEditDelegate(SiteRecord::NameWidth, siteList);
    siteList->setItemDelegateForColumn(0, names);
    connect(siteList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { siteList->editItem(item, 0); });
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
    connect(names, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint != QAbstractItemDelegate::RevertModelCache) {
                    renameEnded(); // Esc cancels an edit: that is no rename
                }
            });

    addButton = new QPushButton(QStringLiteral("Add Currently Displayed Web Page To List"), this);
    addButton->setObjectName(QStringLiteral("addButton"));
    deleteButton = new QPushButton(QStringLiteral("Delete List Item Selected Below"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    addButton->setAutoDefault(false);
    deleteButton->setAutoDefault(false);
    connect(addButton, &QPushButton::clicked, this, &SiteListEditor::addDisplayedPage);
    connect(deleteButton, &QPushButton::clicked, this, &SiteListEditor::deleteSelectedSite);
    place(addButton, 30, 15, 4545, 300);
    place(deleteButton, 4590, 15, 4545, 300);
    place(siteList, 0, 315, 9210, 2805);
    setTabOrder(siteList, addButton);
    setTabOrder(addButton, deleteButton);

    rowMenu = new QMenu(QStringLiteral("AddLvPop1"), this);
    rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto item = [this](const char* name, const QString& caption, void (SiteListEditor::*handler)()) {
        QAction* a = rowMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    moveUpItem = item("moveUpItem", QStringLiteral("Move Up"), &SiteListEditor::moveUp);
    moveDownItem = item("moveDownItem", QStringLiteral("Move Down"), &SiteListEditor::moveDown);
    moveToTopItem = item("moveToTopItem", QStringLiteral("Move To &Top"), &SiteListEditor::moveToTop);
    moveToBottomItem =
        item("moveToBottomItem", QStringLiteral("Move To &Bottom"), &SiteListEditor::moveToBottom);
    rowMenu->addSeparator()->setObjectName(QStringLiteral("moveSeparator"));
    deleteItem = item("deleteItem", QStringLiteral("Delete From List"), &SiteListEditor::deleteSelectedSite);

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
    ApplicationFont::applyTo(siteList, m_state.Settings);

    siteList->clear();
    const SiteListFile file(m_state.siteListPath());
    m_loadedStamp = file.stamp();
    const QList<SiteRecord> records = file.readAll();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(records.size());
    for (const SiteRecord& r : records) {
        rows.append(makeRow(r.Name, r.URL));
    }
    siteList->addTopLevelItems(rows);

    // Centred on the screen, at the stored outer size.
    m_outer->apply(QSize(m_twips.toPixelsX(m_state.Settings.EditorWidth),
                         m_twips.toPixelsY(m_state.Settings.EditorHeight)),
                   std::nullopt);
    layOut();
    siteList->setFocus();
    m_listLoaded = true;
    m_listChanged = false;
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
    place(addButton, EditorLayout::ButtonLeft, EditorLayout::ButtonTop, EditorLayout::addWidth(sw),
          EditorLayout::ButtonHeight);
    place(deleteButton, EditorLayout::deleteLeft(sw), EditorLayout::ButtonTop, EditorLayout::deleteWidth(sw),
          EditorLayout::ButtonHeight);
    place(siteList, 0, EditorLayout::ListTop, sw, EditorLayout::listHeight(sh));
    const int column = m_twips.toPixelsX(EditorLayout::columnWidth(m_twips.fromPixelsX(siteList->width())));
    siteList->setColumnWidth(0, column);
    siteList->setColumnWidth(1, column);
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
    siteList->addTopLevelItem(makeRow(m_state.PageTitle.left(80), address));
    m_listChanged = true;
}

int SiteListEditor::selectedPosition() const
{
    const QList<QTreeWidgetItem*> selected = siteList->selectedItems();
    return selected.isEmpty() ? 0 : siteList->indexOfTopLevelItem(selected.first()) + 1;
}

void SiteListEditor::deleteSelectedSite()
{
    if (siteList->topLevelItemCount() == 0) {
        return;
    }
    const int i = selectedPosition();
    if (i == 0) {
        return; // rows but none selected: nothing to delete
    }
    delete siteList->takeTopLevelItem(i - 1);
    m_listChanged = true;
}

void SiteListEditor::renameEnded()
{
    m_listChanged = true;
}

void SiteListEditor::mouseReleasedOnList(Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        rowMenu->popup(QCursor::pos());
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
        const QList<QTreeWidgetItem*> selected = siteList->selectedItems();
        const QRect row = selected.isEmpty() ? QRect() : siteList->visualItemRect(selected.first());
        rowMenu->popup(siteList->viewport()->mapToGlobal(row.isNull() ? QPoint(0, 0) : row.bottomLeft()));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool SiteListEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == siteList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        mouseReleasedOnList(static_cast<QMouseEvent*>(event)->button());
    }
    return QDialog::eventFilter(watched, event);
}

void SiteListEditor::moveSelected(SiteListReorder::Move how)
{
    const int count = siteList->topLevelItemCount();
    const int i = selectedPosition();
    const std::optional<int> t = SiteListReorder::target(how, i, count);
    if (!t) {
        return;
    }
    QTreeWidgetItem* old = siteList->takeTopLevelItem(i - 1);
    QTreeWidgetItem* row = makeRow(old->text(0), old->text(1));
    delete old;
    siteList->insertTopLevelItem(*t - 1, row);
    siteList->setCurrentItem(row);
    m_listChanged = true;
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
    const SiteListFile file(m_state.siteListPath());
    if (m_listChanged && file.stamp() != m_loadedStamp) {
        // Another window saved the list since this one read it.
        const MessageBoxes::Answer answer =
            m_messages == nullptr
                ? MessageBoxes::Answer::Yes
                : m_messages->show(QStringLiteral("The site list was changed by another Skyvane "
                                                  "window. Replace it with this list?"),
                                   MessageBoxes::Buttons::YesNo);
        if (answer != MessageBoxes::Answer::Yes) {
            m_listChanged = false;                                        // the other window's list stays
            m_keepOpen = answer == MessageBoxes::Answer::No && !m_ending; // shown here to look at
        }
    }
    if (m_listChanged) {
        const int n = siteList->topLevelItemCount();
        QList<SiteRecord> records;
        QStringList names;
        records.reserve(n);
        names.reserve(n);
        for (int i = 0; i < n; ++i) {
            const QTreeWidgetItem* row = siteList->topLevelItem(i);
            records.append(SiteRecord{row->text(0), row->text(1)});
            names.append(row->text(0));
        }
        // The new list replaces the old file in one step, so a failed write leaves the old list
        // whole; the selector is rebuilt only when the file matches it.
        const FileLock lock(m_state.siteListPath()); // one window writes the list at a time
        if (file.writeAll(records) && n >= 1) {
            emit listSaved(names);
        }
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
    const QModelIndex index = siteList->currentIndex();
    QWidget* editor = index.isValid() ? siteList->indexWidget(index.siblingAtColumn(0)) : nullptr;
    if (editor != nullptr) {
        QAbstractItemDelegate* delegate = siteList->itemDelegateForIndex(index.siblingAtColumn(0));
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
