#pragma once

#include "core/AppState.h"
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
class Form2 : public QDialog
{
    Q_OBJECT
public:
    // locationUrl reads the address shown in the main window; messages asks before the list of another
    // window is replaced (none: it is replaced).
    Form2(AppState& state, std::function<QString()> locationUrl, MessageBoxes* messages = nullptr,
          QWidget* parent = nullptr);
    ~Form2() override;

    void Form_Load();
    void Form_Resize();
    // Closes the editor because the program ends: it cannot stay open for another look.
    void closeAtEnd();

    qint16 listChanged() const { return ListChanged; }
    qint16 listLoaded() const { return ListLoaded; }
    const Twips& twips() const { return m_twips; }

    // Outer size in twips, frame included.
    float Width() const;
    float Height() const;

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
    // Handlers, named by control and event; reached through the controls.
    void Command1_Click(); // add the displayed page
    void Command2_Click(); // delete the selected row
    void mnuDelete_Click();
    void ListView1_AfterLabelEdit();
    void ListView1_MouseUp(Qt::MouseButton button);
    void mnuMoveUp_Click();
    void mnuMovedown_Click();
    void mnuToTop_Click();
    void mnuToBot_Click();
    void Form_QueryUnload();

private:
    void moveSelected(SiteListReorder::Move how);
    void deleteSelected();
    int selectedPosition() const; // 1-based, 0 when no row is selected
    void place(QWidget* w, float left, float top, float width, float height) const;
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

    qint16 ListChanged = 0; // 1 once a row was added, deleted, renamed or moved
    qint16 ListLoaded = 0;  // 1 once Form_Load has finished

    QPushButton* Command1 = nullptr;  // "Add Currently Displayed Web Page To List"
    QPushButton* Command2 = nullptr;  // "Delete List Item Selected Below"
    QTreeWidget* ListView1 = nullptr; // the sites: name (editable in place) and address
    QMenu* mnuPop1 = nullptr;         // pop-up menu over the list
    QAction* mnuMoveUp = nullptr;     // "Move Up"
    QAction* mnuMovedown = nullptr;   // "Move Down"
    QAction* mnuToTop = nullptr;      // "Move To &Top"
    QAction* mnuToBot = nullptr;      // "Move To &Bottom"
    QAction* mnuDelete = nullptr;     // "Delete From List"
};
