#pragma once

#include "core/AppState.h"
#include "core/MainLayout.h"
#include "core/MessageBoxes.h"
#include "core/SiteListReorder.h"
#include "core/SiteListStore.h"
#include "core/Twips.h"

#include <QDialog>
#include <QModelIndex>

#include <functional>

class OuterGeometry;
class QMenu;
class QAction;
class QPushButton;
class QTreeView;
class SiteListModel;

// The site list editor: a view over the saved sites, two columns. Changes are kept in the model and
// handed to the store when the window closes; listSaved then tells the main window the new entries.
class SiteListEditor : public QDialog
{
    Q_OBJECT
public:
    // locationUrl reads the address shown in the main window; messages asks before the list of another
    // window is replaced (none: it is replaced).
    SiteListEditor(AppState& state, std::function<QString()> locationUrl, MessageBoxes* messages = nullptr,
                   QWidget* parent = nullptr);
    ~SiteListEditor() override;

    void loadWindow();
    void layOut();
    // Closes the editor because the program ends: it cannot stay open for another look.
    void closeAtEnd();

    bool listChanged() const;
    bool listLoaded() const { return m_listLoaded; }
    const Twips& twips() const { return m_twips; }

    // Outer size in twips, frame included.
    TwipRect outerTwips() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

signals:
    // The list was written to the file: these are its names, in order, for the selector.
    void listSaved(const QStringList& names);

public slots:
    // Every way of closing (close box, Esc, the main window closing) comes through here.
    void done(int result) override;

private slots:
    // Handlers, reached through the controls.
    void addDisplayedPage();   // add the displayed page
    void deleteSelectedSite(); // the Delete button and menu item
    void mouseReleasedOnList(Qt::MouseButton button);
    void moveUp();
    void moveDown();
    void moveToTop();
    void moveToBottom();
    void saveOnClose();

private:
    void moveSelected(SiteListReorder::Move how);
    int selectedPosition() const; // 1-based, 0 when no row is selected
    QModelIndex selectedIndex() const;
    void place(QWidget* w, float left, float top, float width, float height) const;
    void rememberSize(); // the outer size, for the settings written at the end
    void setOuterSize(float width, float height);
    bool finish(); // false: the editor stays open
    void commitOpenRename();

    AppState& m_state;
    std::function<QString()> m_locationUrl;
    Twips m_twips;
    bool m_closed = false;
    bool m_ending = false;
    bool m_keepOpen = false;
    MessageBoxes* m_messages;
    SiteListStore m_store;            // the file the rows were read from, and are written to
    OuterGeometry* m_outer = nullptr; // the stored outer size, kept while the frame comes
    bool m_listLoaded = false;        // loadWindow has finished

    SiteListModel* m_model = nullptr;      // the rows, and whether they changed
    QPushButton* m_addButton = nullptr;    // "Add Currently Displayed Web Page To List"
    QPushButton* m_deleteButton = nullptr; // "Delete List Item Selected Below"
    QTreeView* m_siteList = nullptr;       // the sites: name (editable in place) and address
    QMenu* m_rowMenu = nullptr;            // pop-up menu over the list
    QAction* m_moveUpItem = nullptr;       // "Move Up"
    QAction* m_moveDownItem = nullptr;     // "Move Down"
    QAction* m_moveToTopItem = nullptr;    // "Move To &Top"
    QAction* m_moveToBottomItem = nullptr; // "Move To &Bottom"
    QAction* m_deleteItem = nullptr;       // "Delete From List"
};
