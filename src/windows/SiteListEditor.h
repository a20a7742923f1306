#pragma once

#include "core/AppState.h"
#include "core/MainLayout.h"
#include "core/MessageBoxes.h"
#include "core/SiteListReorder.h"
#include "core/Twips.h"

#include <QDialog>

#include <functional>

class OuterGeometry;
class QMenu;
class QAction;
class QPushButton;
class QTreeWidget;

// The site list editor: the saved sites as a two-column list. Changes are kept in the list and
// written when the window closes; listSaved then tells the main window the new entries.
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

    bool listChanged() const { return m_listChanged; }
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
    void renameEnded();
    void mouseReleasedOnList(Qt::MouseButton button);
    void moveUp();
    void moveDown();
    void moveToTop();
    void moveToBottom();
    void saveOnClose();

private:
    void moveSelected(SiteListReorder::Move how);
    int selectedPosition() const; // 1-based, 0 when no row is selected
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
    SiteListFile::Stamp m_loadedStamp; // the site list file the rows were read from
    OuterGeometry* m_outer = nullptr;  // the stored outer size, kept while the frame comes

    bool m_listChanged = false; // a row was added, deleted, renamed or moved
    bool m_listLoaded = false;  // loadWindow has finished

    QPushButton* addButton = nullptr;    // "Add Currently Displayed Web Page To List"
    QPushButton* deleteButton = nullptr; // "Delete List Item Selected Below"
    QTreeWidget* siteList = nullptr;     // the sites: name (editable in place) and address
    QMenu* rowMenu = nullptr;            // pop-up menu over the list
    QAction* moveUpItem = nullptr;       // "Move Up"
    QAction* moveDownItem = nullptr;     // "Move Down"
    QAction* moveToTopItem = nullptr;    // "Move To &Top"
    QAction* moveToBottomItem = nullptr; // "Move To &Bottom"
    QAction* deleteItem = nullptr;       // "Delete From List"
};
