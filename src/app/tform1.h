// TForm1, the program's main window: every control, menu and data component under its design
// name, and every event handler and named operation of the window. The handlers are spread over
// tform1*.cpp by subject; the events reach them through the event guard (event_guard.h).
#pragma once
#include "data/dataset.h"
#include "texts/ui_texts.h"

#include <QColor>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QToolButton;
class QTreeWidget;

class TAboutBox;
namespace app {
class RichEditView;
}
namespace maintenance {
class FileOps;
}
namespace bibledb {
struct VersePlace;
struct VerseRow;
}

// Colours of the window. The system colours come from the application palette:
// clBtnShadow = QPalette::Dark, cl3DLight = QPalette::Midlight, clBtnFace = QPalette::Button.
inline const QColor clCream{255, 251, 240};
inline const QColor clGray{128, 128, 128};
inline const QColor clPurple{128, 0, 128};
QColor clBtnShadow();
QColor cl3DLight();
QColor clBtnFace();

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds every control in its start state, then runs FormCreate (through the event guard).
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Controls and components, in design order ------------------------------------------
    // Layout: absolute geometry on the central widget (its origin is the client area's top-left
    // corner below the menu bar); only StatusBar1 follows the bottom edge.
    QLabel* Label1 = nullptr;            // "Bijbelversie 1: "
    QComboBox* ComboBox1 = nullptr;      // bible version 1; editable, sorted, no insert on Enter
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox2 = nullptr;      // book selector; not editable, not sorted
    data::Connection ADOConnection1;
    data::Query ADOQuery1{ADOConnection1, "ADOQuery1"};
    QPlainTextEdit* DBMemo1 = nullptr;   // pane 1's memo, under RE1 (bound via ADOQuery1.onDataChange)
    QPushButton* BitBtn1 = nullptr;      // Close: its click closes the window (-> FormClose)
    // DataSource1/DataSource2 have no object of their own: a query's onDataChange callback is
    // the link that refreshes its memo.
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;            // reference label (purple, bold)
    QLabel* Label5 = nullptr;
    QToolButton* SpeedButton1 = nullptr; // previous verse
    QToolButton* SpeedButton2 = nullptr; // next verse
    QToolButton* SpeedButton3 = nullptr; // previous chapter
    QToolButton* SpeedButton4 = nullptr; // next chapter
    QMenuBar* MainMenu1 = nullptr;       // menuBar()
    // The menu bar entry; its menu() holds UK, NL1, DE1. Disable the entry with
    // Options1->setEnabled(false); its caption is Options1->text().
    QAction* Options1 = nullptr;
    QAction* UK = nullptr;               // checkable; not an exclusive group
    // The menu-bar entry after Options1; its menu() holds RestoreBackup1, then the entries of
    // buildExtraMenu. Stays enabled while bibles are open.
    QAction* Extra1 = nullptr;
    QAction* RestoreBackup1 = nullptr;   // "Restore a backup..."
    QAction* About2 = nullptr;           // top-level menu bar entry
    QAction* NL1 = nullptr;
    QLabel* Label6 = nullptr;            // chapter number, right edge fixed at x 369
    QLabel* Label7 = nullptr;            // verse number, right edge fixed at x 369
    QPlainTextEdit* Help1 = nullptr;
    QAction* DE1 = nullptr;
    QPlainTextEdit* DBMemo2 = nullptr;   // pane 2's memo, under RE2
    // Declared before ADOQuery2 (the design lists it after) so the query never outlives it.
    data::Connection ADOConnection2;
    data::Query ADOQuery2{ADOConnection2, "ADOQuery2"};
    QComboBox* ComboBox3 = nullptr;      // bible version 2; editable, sorted
    QLabel* Label8 = nullptr;
    QTextEdit* RE1 = nullptr;            // pane 1's editor view (popup PopupMenu1)
    QTextEdit* RE2 = nullptr;            // pane 2's editor view (popup PopupMenu2)
    QMenu* PopupMenu1 = nullptr;
    QAction* Forceernieuwedia1 = nullptr;
    QAction* Wissendiaovergang1 = nullptr;
    QAction* Tussenvoegenlegeregelindedia1 = nullptr;
    QAction* Wissenlegeregel1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* BitBtn2 = nullptr;      // OK, default button
    QMenu* PopupMenu2 = nullptr;
    QAction* Forceernieuwedia2 = nullptr;
    QAction* Wissendiaovergang2 = nullptr;
    QAction* Tussenvoegenlegeregelindedia2 = nullptr;
    QAction* Wissenlegeregel2 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    // Hidden sorting device: one item per entry, the whole "001;Genesis" text in column 0;
    // sorted ascending on column 0. Columns "nr" and "BoekNaam".
    QTreeWidget* BookList = nullptr;

    // ---- Program-wide values ---------------------------------------------------------------
    QString languageCode;   // "NL", "UK" or "DE" (anything else read from the INI becomes "UK")
    QString baseFolder;     // "c:\Lumora", "c:\LumoraData" or empty
    int lastChapter = 0;

    // Texts of the language in force, set by LoadNLtekst/LoadUKtekst/LoadDetekst. Marker lines
    // and messages are read from here: texts.newSlideMarker, texts.emptyLineMarker,
    // texts.msgNotVerseText, ... (all empty until a language is applied; start-up always
    // applies one).
    texts::UiTexts texts;

    // ---- The two panes ---------------------------------------------------------------------
    // Pane 1 = RE1 / DBMemo1 / ADOQuery1 / ADOConnection1 / edited1 / databasePath1,
    // pane 2 = RE2 / DBMemo2 / ADOQuery2 / ADOConnection2 / edited2 / databasePath2.
    // Operations that work on either pane take its number (1 or 2); the accessors below map
    // the number to the named members.
    bool edited1 = false;
    bool edited2 = false;
    QString databasePath1;  // last path opened in the pane (Windows form), never cleared
    QString databasePath2;
    QTextEdit* paneView(int pane) const;
    QPlainTextEdit* paneMemo(int pane) const;
    data::Query& paneQuery(int pane);
    data::Connection& paneConnection(int pane);
    bool& paneEdited(int pane);
    QString& paneDatabasePath(int pane);

    // ---- Handlers: start-up, settings, languages, About (tform1.cpp, tform1_texts.cpp) -----
    void FormCreate();
    // Returns normally when the window may close; throws when posting an edit failed, which
    // keeps the window open. An INI file that cannot be written costs only the language
    // choice: "Unable to write to <path>" is shown and the close goes on.
    void FormClose();
    void TaalSelect(const QString& code);
    void LoadNLtekst();
    void LoadUKtekst();
    void LoadDetekst();
    void UKClick();
    void NL1Click();
    void DE1Click();
    void About2Click();

    // ---- Handlers: bibles and navigation (tform1_bibles.cpp) -------------------------------
    void ComboBox1Change();
    void ComboBox3Change();
    void Laadbijbelboekenlijst();
    void ComboBox2Change();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    // wheelDelta: angleDelta().y() of one wheel message, > 0 when turned away from the user.
    void FormMouseWheel(int wheelDelta);
    void ADOQuery1AfterScroll();
    void ADOQuery2AfterScroll();
    void closeStepReleaseConnections();
    // Helpers of the handlers above.
    void bindQueryEvents();                               // memo refresh + AfterScroll per query
    void showRowInMemo(int pane);                         // the memo shows the row's BIBLETEXT
    // The memos lie under the views and are never seen: while memosDeferred is set (the
    // whole-bible run), a row change only marks its memo stale and refreshMemos() catches up.
    bool memosDeferred = false;
    void refreshMemos();
    void connectPane(int pane, const QString& bibleName); // databasePath, connection string, connect
    int currentBookNumber() const;                        // ComboBox2's selected position + 1
    void positionOnBook();                                // both panes on chapter 1 of that book
    void stepChapter(int delta);                          // the chapter step from Label6's number
    void showCurrentVerse(int pane);                      // fill the view; focus as focusedViewPane says

    // ---- Pane state and the bible selectors' input (tform1_panes.cpp) ----------------------
    // A pane is in use while its query is open; a pane whose bible failed to open or was
    // closed is grey, disabled and empty, and saves, navigation and the whole-bible run skip it.
    bool paneOpen(int pane);
    void showPaneClosed(int pane);
    void closePaneTwo();                                  // the version 2 selector was emptied
    // Runs the opening steps; when they fail, every pane left without an open query is shown
    // closed before the error goes on to the event guard.
    void closingFailedPanes(const std::function<void()>& steps);
    // The pane whose view keeps the keyboard focus across a step: 2 while RE2 holds it, else 1.
    int focusedViewPane() const;
    void focusStepView(); // the last step of every step: that pane's view gets the keys
    // Typing into a bible selector opens nothing until its text names a listed bible that no
    // other listed name goes on from; Enter and a pick from the list open what the text names.
    void ComboBox1Typed();
    void ComboBox3Typed();
    void bibleSelectorConfirmed(int pane); // Enter, a pick, or a name typed in full
    // One user action can confirm a selector through several signals (Enter with the list
    // shown): the open runs once, right after that action.
    void requestBibleOpen(int pane);

    // ---- Handlers: editing and saving (tform1_editing.cpp) ---------------------------------
    // Called before the view handles the key / the press (event filter on RE1/RE2).
    void RE1KeyDown(int key, Qt::KeyboardModifiers shift);
    void RE2KeyDown(int key, Qt::KeyboardModifiers shift);
    // pos: in RE1->viewport() coordinates (what cursorForPosition takes).
    void RE1MouseDown(Qt::MouseButton button, QPoint pos);
    void RE2MouseDown(Qt::MouseButton button, QPoint pos);
    void Forceernieuwedia1Click();
    void Wissendiaovergang1Click();
    void Tussenvoegenlegeregelindedia1Click();
    void Wissenlegeregel1Click();
    void Forceernieuwedia2Click();
    void Wissendiaovergang2Click();
    void Tussenvoegenlegeregelindedia2Click();
    void Wissenlegeregel2Click();
    void NieuweDia(int pane);
    void WisDia(int pane);
    void LegeRegelTussenvoegen(int pane);
    void Wissenlegeregel(int pane);
    void Savevers(int pane);
    void FormFocusLost();    // the window's and the application's deactivation
    void FormDeactivate();   // the window's deactivation: calls FormFocusLost
    void saveEditedPanes();  // first step of the bible/book/step handlers
    void closeStepPostEdits();
    // The line model over the pane's view (created on first use; the view owns it). Fill a
    // view with verse::fillView(paneLines(pane), storedText, markers).
    app::RichEditView& paneLines(int pane);

    // ---- Backups (tform1_backups.cpp) -------------------------------------------------------
    // Right before the first change of the pane's bible file in this run: its backup. Throws
    // (a message saying why) when none can be made; the change must then not go ahead.
    void backupBeforeWrite(int pane);
    void RestoreBackup1Click();
    // Puts the chosen backup back in place of its bible; refused while the bible is open in a pane.
    void restoreChosenBackup(const QString& bibleFile, const QString& backup);

    // ---- Handlers: whole-bible options and compaction (tform1_maintenance.cpp) -------------
    void CheckBox1Click();
    void CheckBox2Click();
    void BitBtn2Click();
    void ModifyDB();
    bool CompactAndRepair(const QString& path);
    void closeStepCompact();
    // While ModifyDB runs: a second start is refused, the bible selectors are disabled, and a
    // close only sets closeRequestedDuringRun; the run then ends after the verse in progress
    // is saved and the window closes.
    bool modifyDBRunning = false;
    bool closeRequestedDuringRun = false;
    // The file-system seam of CompactAndRepair; nullptr means the real file system (tests
    // replace it to make a step fail).
    maintenance::FileOps* compactionFileOps = nullptr;

    // ---- Tools menu (Extra1): Go to, Find, lines too long (tform1_tools.cpp) ---------------
    QAction* Goto1 = nullptr;          // Ctrl+G
    QAction* Find1 = nullptr;          // Ctrl+F
    QAction* MaxLineLength1 = nullptr;
    QAction* NextLongLine1 = nullptr;  // Ctrl+L; disabled while maxLineLength is 0
    int maxLineLength = 0;             // INI [Settings] MaxLineLength; 0 = off
    void buildExtraMenu();
    void applyExtraTexts(const texts::UiTexts& language);
    void readMaxLineLength();
    void Goto1Click();
    void Find1Click();
    void MaxLineLength1Click();
    void NextLongLine1Click();
    // Reads a typed reference against pane 1's bible and goes there; false (after a message)
    // when it names no verse, and then nothing moved.
    bool GotoReference(const QString& text);
    // Puts pane 1 on the verse through the book and chapter handlers, which save the edited
    // panes first; pane 2 follows book and chapter and stands on the same verse number, or on
    // the last one below it when its chapter is shorter.
    void goToVerse(const bibledb::VersePlace& place);
    std::vector<bibledb::VerseRow> pane1VerseRows(); // every verse row of pane 1's file

    // ---- Shared services --------------------------------------------------------------------
    // The program's one message box: modal, OK button, titled "Kantelo". While messageSink is
    // set (tests), the text goes to it instead and nothing blocks.
    static void showMessage(const QString& text);
    static std::function<void(const QString&)> messageSink;
    // Shows a modal dialog (the About box). While dialogSink is set (tests), it is called with
    // the dialog instead of exec().
    static void execDialog(QDialog& dialog);
    static std::function<void(QDialog&)> dialogSink;
    // Lets the waiting window events run once (the design's "process messages"). Use this, not
    // QCoreApplication::processEvents, inside handlers: the events it runs are new event
    // boundaries, so an error in one of them is shown there and the calling handler goes on.
    // While a long handler paces its passes (opening a bible, the whole-bible run; see
    // event_pacing.h), a pass sooner than eventPassInterval after the previous one is skipped.
    static void processPendingEvents();
    static int eventPassInterval; // milliseconds; 100 (tests set 0 to let every pass run)
    // Colours a control's background (edit fields, combo boxes, views): cream, grey, ...
    static void setControlColor(QWidget* control, const QColor& color);

    // The INI file: the executable's path with its extension replaced by ".INI", or where that
    // folder cannot be written, the file of that name in the user's settings folder. Tests set
    // settingsPathOverride (a native path) before constructing the window.
    static QString settingsPathOverride;
    static QString settingsPath();
    static QString userSettingsFolder();
    static void logMessage(const QString& text);

    TAboutBox* AboutBox = nullptr; // created by main after the window (else on first use)

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void wireEvents();
    void applyTexts(const texts::UiTexts& language);
    void discoverBibles();
    bool applicationActive_ = true;
    bool bibleOpenRequested_[2] = {false, false};
    QStringList reportedLeftovers_; // compaction leftovers already named to the user
    bool iniFailureShown_ = false;
    bool memoStale_[2] = {false, false};
    QString memoText_[2]; // what each memo shows, so an unchanged row is not laid out again
};
