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

Form2::Form2(AppState& state, std::function<QString()> locationUrl, MessageBoxes* messages, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_locationUrl(std::move(locationUrl)), m_twips(ScreenTwips::of(this)),
      m_messages(messages)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edit Selector List"));
    setFont(DesignedFont::arial(DesignedFont::CaptionPoints));
    setModal(true);
    setSizeGripEnabled(false);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral(" Name"), QStringLiteral("URL")});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    ListView1->header()->setStretchLastSection(false);
    ListView1->viewport()->installEventFilter(this);
    // Only the name column is edited in place; the address stays as it was added.
    ListView1->setItemDelegateForColumn(1, new NoEditDelegate(ListView1));
    auto* names = new NameEditDelegate(SiteRecord::NameWidth, ListView1);
    ListView1->setItemDelegateForColumn(0, names);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { ListView1->editItem(item, 0); });
    connect(names, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint != QAbstractItemDelegate::RevertModelCache) {
                    ListView1_AfterLabelEdit(); // Esc cancels an edit: that is no rename
                }
            });

    Command1 = new QPushButton(QStringLiteral("Add Currently Displayed Web Page To List"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Delete List Item Selected Below"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    place(Command1, 30, 15, 4545, 300);
    place(Command2, 4590, 15, 4545, 300);
    place(ListView1, 0, 315, 9210, 2805);
    setTabOrder(ListView1, Command1);
    setTabOrder(Command1, Command2);

    mnuPop1 = new QMenu(QStringLiteral("AddLvPop1"), this);
    mnuPop1->setObjectName(QStringLiteral("mnuPop1"));
    const auto item = [this](const char* name, const QString& caption, void (Form2::*handler)()) {
        QAction* a = mnuPop1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuMoveUp = item("mnuMoveUp", QStringLiteral("Move Up"), &Form2::mnuMoveUp_Click);
    mnuMovedown = item("mnuMovedown", QStringLiteral("Move Down"), &Form2::mnuMovedown_Click);
    mnuToTop = item("mnuToTop", QStringLiteral("Move To &Top"), &Form2::mnuToTop_Click);
    mnuToBot = item("mnuToBot", QStringLiteral("Move To &Bottom"), &Form2::mnuToBot_Click);
    mnuPop1->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    mnuDelete = item("mnuDelete", QStringLiteral("Delete From List"), &Form2::mnuDelete_Click);

    resize(m_twips.toPixelsX(9195), m_twips.toPixelsY(3120));
    m_outer = new OuterGeometry(this);
}

Form2::~Form2() = default;

void Form2::place(QWidget* w, float left, float top, float width, float height) const
{
    w->setGeometry(m_twips.rect(left, top, width, height));
}

float Form2::Width() const
{
    return OuterGeometry::twipsOf(this, m_twips).width;
}

float Form2::Height() const
{
    return OuterGeometry::twipsOf(this, m_twips).height;
}

void Form2::setOuterSize(float width, float height)
{
    const QMargins frame = OuterGeometry::frameOf(this);
    resize(m_twips.toPixelsX(width) - frame.left() - frame.right(),
           m_twips.toPixelsY(height) - frame.top() - frame.bottom());
}

void Form2::Form_Load()
{
    ApplicationFont::applyTo(ListView1, m_state.Settings);

    ListView1->clear();
    const SiteListFile file(m_state.siteListPath());
    m_loadedStamp = file.stamp();
    const QList<SiteRecord> records = file.readAll();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(records.size());
    for (const SiteRecord& r : records) {
        rows.append(makeRow(r.Name, r.URL));
    }
    ListView1->addTopLevelItems(rows);

    // Centred on the screen, at the stored outer size.
    m_outer->apply(QSize(m_twips.toPixelsX(m_state.Settings.EditorWidth),
                         m_twips.toPixelsY(m_state.Settings.EditorHeight)),
                   std::nullopt);
    Form_Resize();
    ListView1->setFocus();
    ListLoaded = 1;
    ListChanged = 0;
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Form2::Form_Resize()
{
    if (isMinimized()) {
        return;
    }
    if (Width() < EditorLayout::MinWidth || Height() < EditorLayout::MinHeight) {
        setOuterSize(qMax(Width(), EditorLayout::MinWidth), qMax(Height(), EditorLayout::MinHeight));
    }
    const float sw = m_twips.fromPixelsX(width());
    const float sh = m_twips.fromPixelsY(height());
    place(Command1, EditorLayout::ButtonLeft, EditorLayout::ButtonTop, EditorLayout::addWidth(sw),
          EditorLayout::ButtonHeight);
    place(Command2, EditorLayout::deleteLeft(sw), EditorLayout::ButtonTop, EditorLayout::deleteWidth(sw),
          EditorLayout::ButtonHeight);
    place(ListView1, 0, EditorLayout::ListTop, sw, EditorLayout::listHeight(sh));
    const int column = m_twips.toPixelsX(EditorLayout::columnWidth(m_twips.fromPixelsX(ListView1->width())));
    ListView1->setColumnWidth(0, column);
    ListView1->setColumnWidth(1, column);
    if (!isMaximized() && !isMinimized() && ListLoaded != 0) {
        m_state.Settings.EditorWidth = Width();
        m_state.Settings.EditorHeight = Height();
    }
}

void Form2::Command1_Click()
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
    ListView1->addTopLevelItem(makeRow(m_state.PageTitle.left(80), address));
    ListChanged = 1;
}

int Form2::selectedPosition() const
{
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    return selected.isEmpty() ? 0 : ListView1->indexOfTopLevelItem(selected.first()) + 1;
}

void Form2::deleteSelected()
{
    if (ListView1->topLevelItemCount() == 0) {
        return;
    }
    const int i = selectedPosition();
    if (i == 0) {
        return; // rows but none selected: nothing to delete
    }
    delete ListView1->takeTopLevelItem(i - 1);
    ListChanged = 1;
}

void Form2::Command2_Click()
{
    deleteSelected();
}

void Form2::mnuDelete_Click()
{
    deleteSelected();
}

void Form2::ListView1_AfterLabelEdit()
{
    ListChanged = 1;
}

void Form2::ListView1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        mnuPop1->popup(QCursor::pos());
    }
}

void Form2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) { // (a name being edited keeps its own Delete)
        deleteSelected();                 // as the Delete button
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        // The row menu from the keyboard, beside the selected row: the moves need no mouse.
        const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
        const QRect row = selected.isEmpty() ? QRect() : ListView1->visualItemRect(selected.first());
        mnuPop1->popup(ListView1->viewport()->mapToGlobal(row.isNull() ? QPoint(0, 0) : row.bottomLeft()));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        ListView1_MouseUp(static_cast<QMouseEvent*>(event)->button());
    }
    return QDialog::eventFilter(watched, event);
}

void Form2::moveSelected(SiteListReorder::Move how)
{
    const int count = ListView1->topLevelItemCount();
    const int i = selectedPosition();
    const std::optional<int> t = SiteListReorder::target(how, i, count);
    if (!t) {
        return;
    }
    QTreeWidgetItem* old = ListView1->takeTopLevelItem(i - 1);
    QTreeWidgetItem* row = makeRow(old->text(0), old->text(1));
    delete old;
    ListView1->insertTopLevelItem(*t - 1, row);
    ListView1->setCurrentItem(row);
    ListChanged = 1;
}

void Form2::mnuMoveUp_Click()
{
    moveSelected(SiteListReorder::Move::Up);
}

void Form2::mnuMovedown_Click()
{
    moveSelected(SiteListReorder::Move::Down);
}

void Form2::mnuToTop_Click()
{
    moveSelected(SiteListReorder::Move::ToTop);
}

void Form2::mnuToBot_Click()
{
    moveSelected(SiteListReorder::Move::ToBottom);
}

void Form2::Form_QueryUnload()
{
    const SiteListFile file(m_state.siteListPath());
    if (ListChanged != 0 && file.stamp() != m_loadedStamp) {
        // Another window saved the list since this one read it.
        const MessageBoxes::Answer answer =
            m_messages == nullptr
                ? MessageBoxes::Answer::Yes
                : m_messages->show(QStringLiteral("The site list was changed by another Skyvane "
                                                  "window. Replace it with this list?"),
                                   MessageBoxes::Buttons::YesNo);
        if (answer != MessageBoxes::Answer::Yes) {
            ListChanged = 0;                                              // the other window's list stays
            m_keepOpen = answer == MessageBoxes::Answer::No && !m_ending; // shown here to look at
        }
    }
    if (ListChanged != 0) {
        const int n = ListView1->topLevelItemCount();
        QList<SiteRecord> records;
        QStringList names;
        records.reserve(n);
        names.reserve(n);
        for (int i = 0; i < n; ++i) {
            const QTreeWidgetItem* row = ListView1->topLevelItem(i);
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
        m_state.Settings.EditorWidth = Width();
        m_state.Settings.EditorHeight = Height();
    }
}

bool Form2::finish()
{
    if (!m_closed) {
        m_closed = true;
        commitOpenRename();
        Form_QueryUnload();
        if (m_keepOpen) {
            m_keepOpen = false;
            m_closed = false;
            Form_Load(); // the other window's list, in place of this one's
            return false;
        }
    }
    return true;
}

void Form2::closeAtEnd()
{
    m_ending = true;
    close();
}

void Form2::commitOpenRename()
{
    // A name still being typed counts, as it does when another row is clicked.
    const QModelIndex index = ListView1->currentIndex();
    QWidget* editor = index.isValid() ? ListView1->indexWidget(index.siblingAtColumn(0)) : nullptr;
    if (editor != nullptr) {
        QAbstractItemDelegate* delegate = ListView1->itemDelegateForIndex(index.siblingAtColumn(0));
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
}

void Form2::done(int result)
{
    if (finish()) {
        QDialog::done(result);
    }
}

void Form2::closeEvent(QCloseEvent* event)
{
    if (!finish()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
