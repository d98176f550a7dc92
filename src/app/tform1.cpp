// TForm1: building the window, wiring its events through the guard, start-up and close.
#include "app/tform1.h"

#include "app/about_box.h"
#include "app/event_guard.h"
#include "app/event_pacing.h"
#include "app/ini_file.h"
#include "data/win_path.h"
#include "maintenance/stranded.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

std::function<void(const QString&)> TForm1::messageSink;
std::function<void(QDialog&)> TForm1::dialogSink;
QString TForm1::settingsPathOverride;
int TForm1::eventPassInterval = 100;

QColor clBtnShadow() { return QApplication::palette().color(QPalette::Dark); }
QColor cl3DLight() { return QApplication::palette().color(QPalette::Midlight); }
QColor clBtnFace() { return QApplication::palette().color(QPalette::Button); }

namespace {

constexpr int clientWidth = 923;
constexpr int clientHeight = 708;
constexpr int statusBarHeight = 19;
// Label6 and Label7 grow to the left: their right edge stays here.
constexpr int numberLabelRight = 369;

const QString settingsSection = QStringLiteral("Settings");
const QString languageKey = QStringLiteral("Taal");

QFont tahoma(int points, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"), points);
    font.setBold(bold);
    return font;
}

// A solid black triangle, 15 x 17 like the design glyphs, pointing left or right.
QIcon triangleGlyph(bool pointsLeft) {
    QPixmap pixmap(15, 17);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPolygonF right{QPointF(4, 3), QPointF(12, 8.5), QPointF(4, 14)};
    const QPolygonF left{QPointF(11, 3), QPointF(3, 8.5), QPointF(11, 14)};
    p.drawPolygon(pointsLeft ? left : right);
    return QIcon(pixmap);
}

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* makeNumberLabel(QWidget* parent, int left, int top) {
    auto* label = new QLabel(QStringLiteral("1"), parent);
    label->setFont(tahoma(10, true));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, clPurple);
    label->setPalette(palette);
    label->setGeometry(left, top, 8, 16);
    return label;
}

QToolButton* makeSpeedButton(QWidget* parent, int left, int top, bool pointsLeft) {
    auto* button = new QToolButton(parent);
    button->setGeometry(left, top, 23, 22);
    button->setAutoRaise(true);
    button->setIcon(triangleGlyph(pointsLeft));
    button->setIconSize(QSize(15, 17));
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(false);
    return button;
}

QComboBox* makeComboBox(QWidget* parent, int left, int top, bool editable) {
    auto* combo = new QComboBox(parent);
    combo->setGeometry(left, top, 145, 21);
    combo->setEditable(editable);
    if (editable) {
        // The typed text is the selector's text: no new entries on Enter, and no inline
        // completion that would change the text (and open a bible) behind the user's back. The
        // list drops down as soon as the user types: a popup of the entries that begin with the
        // typed text, while the keys keep going to the edit field.
        combo->setInsertPolicy(QComboBox::NoInsert);
        auto* completer = new QCompleter(combo->model(), combo);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        combo->setCompleter(completer);
    }
    return combo;
}

// A memo under an editor view, or the view itself: no border, no word wrap.
void makeBorderless(QAbstractScrollArea* area) { area->setFrameShape(QFrame::NoFrame); }

// Adds a name to a sorted selector at its place (letter case not regarded, as the design's
// sorted lists compare); equal names keep their order of arrival.
void addSorted(QComboBox* combo, const QString& name) {
    int at = combo->count();
    for (int i = 0; i < combo->count(); ++i) {
        if (name.compare(combo->itemText(i), Qt::CaseInsensitive) < 0) {
            at = i;
            break;
        }
    }
    combo->insertItem(at, name);
}

// Labels that size themselves to their text; Label6/Label7 keep their right edge.
bool isNumberLabel(const QLabel* label, const TForm1* form) {
    return label == form->Label6 || label == form->Label7;
}

// The control that takes a wheel message for the focused widget: a selector itself (an editable
// one's line edit hands its focus to it), a scroll area through its viewport.
QWidget* wheelOwner(QWidget* focused) {
    if (!focused) return nullptr;
    for (QWidget* w = focused; w; w = w->parentWidget())
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(focused)) return area->viewport();
    return focused;
}

// Sees every event of the application first, for the wheel. Qt gives a wheel message to the
// widget under the pointer; here it belongs to the control with the keyboard focus, as on
// Windows: the window steps one verse per message, then the focused control handles it as
// well (a view scrolls, a focused selector changes). A selector under the pointer without the
// focus never changes. Only the first receiver gets a message as a spontaneous event, so one
// message makes one step.
class WheelWatch : public QObject {
public:
    explicit WheelWatch(TForm1* form) : QObject(form), form_(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || !event->spontaneous()) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != form_) return false;
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointer<QWidget> owner = wheelOwner(form_->focusWidget());
        const int delta = wheel->angleDelta().y();
        app::runGuarded([this, delta] { form_->FormMouseWheel(delta); });
        if (owner && owner->isEnabled()) {
            const QPointF global = wheel->globalPosition();
            QWheelEvent forOwner(owner->mapFromGlobal(global), global, wheel->pixelDelta(), wheel->angleDelta(),
                                 wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                                 wheel->source());
            QApplication::sendEvent(owner, &forOwner);
        }
        return true;
    }

private:
    TForm1* form_;
};

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    buildControls();
    buildMenus();
    wireEvents();
    app::runGuarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

// ---- Building -------------------------------------------------------------------------------

void TForm1::buildControls() {
    // Where Tahoma is missing (Linux), a face of similar width keeps the captions inside
    // their fixed places.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                                          QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans Condensed")});
    setWindowTitle(QStringLiteral("Kantelo"));
    setWindowIcon(QIcon(programIconPixmap(32)));
    setFont(tahoma(8));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    // Creation order is stacking order: later controls lie above earlier ones.
    Label1 = makeLabel(client, QStringLiteral("Bijbelversie 1: "), 15, 25);
    Label2 = makeLabel(client, QStringLiteral("Bijbelboek"), 15, 84);
    Label3 = makeLabel(client, QStringLiteral("Hoofdstuk"), 256, 72);

    Label4 = new QLabel(QStringLiteral("123123123123123123123123"), client);
    Label4->setFont(tahoma(10, true));
    {
        QPalette palette = Label4->palette();
        palette.setColor(QPalette::WindowText, clPurple);
        Label4->setPalette(palette);
    }
    Label4->setGeometry(24, 103, 192, 16);

    Label5 = makeLabel(client, QStringLiteral("Vers"), 256, 98);
    SpeedButton1 = makeSpeedButton(client, 320, 92, true);
    SpeedButton2 = makeSpeedButton(client, 381, 97, false);
    SpeedButton3 = makeSpeedButton(client, 320, 69, true);
    SpeedButton4 = makeSpeedButton(client, 381, 69, false);
    Label6 = makeNumberLabel(client, 361, 70);
    Label7 = makeNumberLabel(client, 361, 96);
    Label8 = makeLabel(client, QStringLiteral("Bijbelversie 2: "), 15, 57);

    Help1 = new QPlainTextEdit(QStringLiteral("Memo1"), client);
    Help1->setGeometry(442, 0, 473, 130);
    Help1->setFrameShape(QFrame::NoFrame);
    Help1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Help1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Help1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setControlColor(Help1, cl3DLight());
    {
        // The disabled help text stays readable.
        QPalette palette = Help1->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text, clGray);
        Help1->setPalette(palette);
    }
    Help1->setEnabled(false);

    ComboBox1 = makeComboBox(client, 91, 22, true);
    setControlColor(ComboBox1, clCream);

    ComboBox2 = makeComboBox(client, 91, 76, false);
    setControlColor(ComboBox2, clBtnShadow());
    ComboBox2->setEnabled(false);

    DBMemo1 = new QPlainTextEdit(client);
    DBMemo1->setGeometry(8, 136, 905, 216);
    makeBorderless(DBMemo1);
    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setControlColor(DBMemo1, clCream);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&Close"), client);
    BitBtn1->setGeometry(840, 620, 75, 25);
    BitBtn1->setAutoDefault(false);

    DBMemo2 = new QPlainTextEdit(client);
    DBMemo2->setGeometry(10, 358, 905, 216);
    makeBorderless(DBMemo2);
    DBMemo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DBMemo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setControlColor(DBMemo2, clCream);

    ComboBox3 = makeComboBox(client, 91, 49, true);
    setControlColor(ComboBox3, clBtnShadow());
    ComboBox3->setEnabled(false);

    auto makeView = [&](int left, int top) {
        auto* view = new QTextEdit(client);
        view->setGeometry(left, top, 907, 216);
        makeBorderless(view);
        view->setFont(tahoma(8));
        view->setAcceptRichText(false);
        view->setLineWrapMode(QTextEdit::NoWrap);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        // The selection stays visible while the view has no focus.
        QPalette palette = view->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        view->setPalette(palette);
        setControlColor(view, clGray);
        view->setEnabled(false);
        return view;
    };
    RE2 = makeView(8, 358);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(statusBarHeight);
    setStatusBar(StatusBar1);

    CheckBox1 = new QCheckBox(QStringLiteral("Forceer diaovergang na elke versregel (hele bijbel!)"), client);
    CheckBox1->setGeometry(8, 584, 537, 17);
    CheckBox1->setToolTip(QStringLiteral("Selecteer deze optie en klik daarna op OK"));

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK, Change ALL"), client);
    BitBtn2->setGeometry(24, 620, 137, 25);
    BitBtn2->setDefault(true);
    BitBtn2->setEnabled(false);

    RE1 = makeView(8, 136);

    CheckBox2 = new QCheckBox(
        QStringLiteral("Verwijder alle diaovergangen aan het eind van een versregel (hele bijbel!)"), client);
    CheckBox2->setGeometry(8, 602, 537, 17);
    CheckBox2->setToolTip(QStringLiteral("Selecteer deze optie en klik daarna op OK"));

    BookList = new QTreeWidget(client);
    BookList->setGeometry(442, 456, 303, 89);
    BookList->setFont(tahoma(8));
    BookList->setColumnCount(2);
    BookList->setHeaderLabels({QStringLiteral("nr"), QStringLiteral("BoekNaam")});
    BookList->header()->resizeSection(0, 50);
    BookList->header()->resizeSection(1, 250);
    BookList->setRootIsDecorated(false);
    BookList->setSortingEnabled(true);
    BookList->sortByColumn(0, Qt::AscendingOrder);
    BookList->setVisible(false);

    // Labels and speed buttons are drawn beneath every windowed control.
    for (QWidget* w : std::initializer_list<QWidget*>{SpeedButton4, SpeedButton3, SpeedButton2, SpeedButton1, Label8,
                                                      Label7, Label6, Label5, Label4, Label3, Label2, Label1})
        w->lower();

    // Turning the wheel over a control never gives it the focus (Qt's wheel focus would): the
    // wheel belongs to the control that has it (WheelWatch).
    for (QWidget* w : client->findChildren<QWidget*>())
        if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);

    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, DBMemo1);
    setTabOrder(DBMemo1, BitBtn1);
    setTabOrder(BitBtn1, Help1);
    setTabOrder(Help1, DBMemo2);
    setTabOrder(DBMemo2, ComboBox3);
    setTabOrder(ComboBox3, RE1);
    setTabOrder(RE1, RE2);
    setTabOrder(RE2, CheckBox1);
    setTabOrder(CheckBox1, BitBtn2);
    setTabOrder(BitBtn2, CheckBox2);
    setTabOrder(CheckBox2, BookList);

    client->installEventFilter(this);
}

void TForm1::buildMenus() {
    MainMenu1 = menuBar();
    auto* options = new QMenu(QStringLiteral("Options"), this);
    Options1 = MainMenu1->addMenu(options);
    UK = options->addAction(QStringLiteral("UK"));
    NL1 = options->addAction(QStringLiteral("NL"));
    DE1 = options->addAction(QStringLiteral("DE"));
    for (QAction* item : {UK, NL1, DE1}) item->setCheckable(true);
    NL1->setChecked(true);
    auto* extra = new QMenu(QStringLiteral("Extra"), this);
    Extra1 = MainMenu1->addMenu(extra);
    RestoreBackup1 = extra->addAction(QStringLiteral("Restore a backup…"));
    buildExtraMenu();
    About2 = MainMenu1->addAction(QStringLiteral("About"));

    const QStringList captions = texts::designPopupCaptions();
    PopupMenu1 = new QMenu(this);
    Forceernieuwedia1 = PopupMenu1->addAction(captions[0]);
    Wissendiaovergang1 = PopupMenu1->addAction(captions[1]);
    Tussenvoegenlegeregelindedia1 = PopupMenu1->addAction(captions[2]);
    Wissenlegeregel1 = PopupMenu1->addAction(captions[3]);
    PopupMenu2 = new QMenu(this);
    Forceernieuwedia2 = PopupMenu2->addAction(captions[0]);
    Wissendiaovergang2 = PopupMenu2->addAction(captions[1]);
    Tussenvoegenlegeregelindedia2 = PopupMenu2->addAction(captions[2]);
    Wissenlegeregel2 = PopupMenu2->addAction(captions[3]);

    // The client area below the menu bar is 923 x 708; the window opens centred.
    const int menuHeight = MainMenu1->heightForWidth(clientWidth);
    resize(clientWidth, clientHeight + std::max(menuHeight, MainMenu1->sizeHint().height()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// ---- Events ---------------------------------------------------------------------------------

void TForm1::wireEvents() {
    auto guard = [](auto handler) { return [handler] { app::runGuarded(handler); }; };

    // A selector's change event fires on every choice the user makes (also of the same entry
    // again). Changes made by code fire nothing; the handlers that change a selector call the
    // next handler themselves.
    // The bible selectors open a bible on a pick from either list, on Enter and once a name is
    // typed in full; the keystrokes before that only drop the matching names down
    // (tform1_panes.cpp). Enter in a selector is its own: it never reaches the default button.
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, guard([this] { ComboBox1Typed(); }));
    connect(ComboBox1, &QComboBox::activated, this, [this] { requestBibleOpen(1); });
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this, [this] { requestBibleOpen(1); });
    connect(ComboBox3->lineEdit(), &QLineEdit::textEdited, this, guard([this] { ComboBox3Typed(); }));
    connect(ComboBox3, &QComboBox::activated, this, [this] { requestBibleOpen(2); });
    connect(ComboBox3->lineEdit(), &QLineEdit::returnPressed, this, [this] { requestBibleOpen(2); });
    for (QComboBox* selector : {ComboBox1, ComboBox3}) selector->installEventFilter(this);
    connect(ComboBox2, &QComboBox::activated, this, guard([this] { ComboBox2Change(); }));

    connect(SpeedButton1, &QToolButton::clicked, this, guard([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, guard([this] { SpeedButton2Click(); }));
    connect(SpeedButton3, &QToolButton::clicked, this, guard([this] { SpeedButton3Click(); }));
    connect(SpeedButton4, &QToolButton::clicked, this, guard([this] { SpeedButton4Click(); }));

    connect(BitBtn1, &QPushButton::clicked, this, [this] { close(); });
    connect(BitBtn2, &QPushButton::clicked, this, guard([this] { BitBtn2Click(); }));
    connect(CheckBox1, &QCheckBox::clicked, this, guard([this] { CheckBox1Click(); }));
    connect(CheckBox2, &QCheckBox::clicked, this, guard([this] { CheckBox2Click(); }));

    connect(UK, &QAction::triggered, this, guard([this] { UKClick(); }));
    connect(NL1, &QAction::triggered, this, guard([this] { NL1Click(); }));
    connect(DE1, &QAction::triggered, this, guard([this] { DE1Click(); }));
    connect(About2, &QAction::triggered, this, guard([this] { About2Click(); }));
    connect(RestoreBackup1, &QAction::triggered, this, guard([this] { RestoreBackup1Click(); }));

    connect(Forceernieuwedia1, &QAction::triggered, this, guard([this] { Forceernieuwedia1Click(); }));
    connect(Wissendiaovergang1, &QAction::triggered, this, guard([this] { Wissendiaovergang1Click(); }));
    connect(Tussenvoegenlegeregelindedia1, &QAction::triggered, this,
            guard([this] { Tussenvoegenlegeregelindedia1Click(); }));
    connect(Wissenlegeregel1, &QAction::triggered, this, guard([this] { Wissenlegeregel1Click(); }));
    connect(Forceernieuwedia2, &QAction::triggered, this, guard([this] { Forceernieuwedia2Click(); }));
    connect(Wissendiaovergang2, &QAction::triggered, this, guard([this] { Wissendiaovergang2Click(); }));
    connect(Tussenvoegenlegeregelindedia2, &QAction::triggered, this,
            guard([this] { Tussenvoegenlegeregelindedia2Click(); }));
    connect(Wissenlegeregel2, &QAction::triggered, this, guard([this] { Wissenlegeregel2Click(); }));

    // The popup opens on a right-click; a disabled view gets no mouse events, so no popup.
    connect(RE1, &QTextEdit::customContextMenuRequested, this,
            [this](QPoint pos) { PopupMenu1->popup(RE1->viewport()->mapToGlobal(pos)); });
    connect(RE2, &QTextEdit::customContextMenuRequested, this,
            [this](QPoint pos) { PopupMenu2->popup(RE2->viewport()->mapToGlobal(pos)); });

    // Keys go to the view itself, mouse presses to its viewport: both are seen before the
    // view acts on them.
    for (QWidget* w : {static_cast<QWidget*>(RE1), static_cast<QWidget*>(RE2), RE1->viewport(), RE2->viewport()})
        w->installEventFilter(this);
    qApp->installEventFilter(new WheelWatch(this));
    // The queries' events (tform1_bibles.cpp): memo refresh, then AfterScroll.
    bindQueryEvents();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == ComboBox1 || watched == ComboBox3) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                requestBibleOpen(watched == ComboBox1 ? 1 : 2);
                return true;
            }
        }
        if (watched == RE1 || watched == RE2) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool ok = app::runGuarded([&] {
                if (watched == RE1) RE1KeyDown(key->key(), key->modifiers());
                else RE2KeyDown(key->key(), key->modifiers());
            });
            return !ok; // a failed handler swallows the key
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == RE1->viewport() || watched == RE2->viewport()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool ok = app::runGuarded([&] {
                if (watched == RE1->viewport()) RE1MouseDown(mouse->button(), mouse->position().toPoint());
                else RE2MouseDown(mouse->button(), mouse->position().toPoint());
            });
            return !ok;
        }
        break;
    case QEvent::LayoutRequest:
        // A label's text changed: labels size themselves to their text.
        if (watched == centralWidget()) {
            for (QLabel* label : centralWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (label == Label4 && label->text().isEmpty()) continue;
                const QSize hint = label->sizeHint();
                if (label->size() == hint) continue;
                if (isNumberLabel(label, this))
                    label->setGeometry(numberLabelRight - hint.width(), label->y(), hint.width(), hint.height());
                else
                    label->resize(hint);
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowDeactivate: {
        // The main window deactivates in the design's sense only when another, non-modal
        // window of this program takes over; message boxes and the About box do not count, and
        // losing the activation to another program is the application's deactivation.
        QWidget* next = QApplication::activeWindow();
        if (next && next != this && !QApplication::activeModalWidget() && !next->isModal())
            app::runGuarded([this] { FormDeactivate(); });
        break;
    }
    case QEvent::KeyPress: {
        // Enter that no control took clicks the default button.
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && BitBtn2->isEnabled()) {
            BitBtn2->click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (app::runGuarded([this] { FormClose(); })) event->accept();
    else event->ignore();
}

// ---- Start-up and close ---------------------------------------------------------------------

void TForm1::FormCreate() {
    // The program as a whole losing the activation saves the edited panes.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        const bool active = state == Qt::ApplicationActive;
        const bool wasActive = applicationActive_;
        applicationActive_ = active;
        if (wasActive && !active) app::runGuarded([this] { FormFocusLost(); });
    });

    UK->setChecked(false);
    NL1->setChecked(false);
    DE1->setChecked(false);

    languageCode = app::readProfileString(settingsPath(), settingsSection, languageKey, QStringLiteral("UK"));
    // Any value but the three codes would leave the window without texts and the views
    // without markers: it counts as the default.
    if (languageCode != QLatin1String("NL") && languageCode != QLatin1String("UK") &&
        languageCode != QLatin1String("DE"))
        languageCode = QStringLiteral("UK");
    if (languageCode == QLatin1String("NL")) {
        NL1->setChecked(true);
        LoadNLtekst();
    } else if (languageCode == QLatin1String("UK")) {
        UK->setChecked(true);
        LoadUKtekst();
    } else if (languageCode == QLatin1String("DE")) {
        DE1->setChecked(true);
        LoadDetekst();
    }

    readMaxLineLength();
    Label4->setText(QString());
    discoverBibles();
}

void TForm1::discoverBibles() {
    struct Place {
        QString pattern;
        QString base;
    };
    const Place places[] = {
        {QStringLiteral("c:\\lumora\\holybibles"), QStringLiteral("c:\\Lumora")},
        {QStringLiteral("c:\\lumoradata\\holybibles"), QStringLiteral("c:\\LumoraData")},
    };
    // A bible left under the compaction's temporary name would be missing from the selectors
    // (and its folder might even seem empty): it is put back first, in both folders.
    texts::StrandedReport stranded;
    for (const Place& place : places) {
        const texts::StrandedReport found = maintenance::restoreStrandedDatabases(
            place.base + QStringLiteral("\\HolyBibles"),
            compactionFileOps ? *compactionFileOps : maintenance::systemFileOps());
        stranded.restored << found.restored;
        stranded.notRestored << found.notRestored;
    }
    if (!stranded.restored.isEmpty() || !stranded.notRestored.isEmpty())
        showMessage(texts::strandedAtStartMessage(languageCode, stranded));
    for (const Place& place : places) {
        const QStringList files = data::listFilesWithSuffix(place.pattern, QStringLiteral(".mdb"));
        if (files.isEmpty()) continue;
        for (const QString& file : files) {
            const QString name = file.left(file.size() - 4);
            addSorted(ComboBox1, name);
            addSorted(ComboBox3, name);
        }
        baseFolder = place.base;
        break;
    }
    // Filling an editable selector makes its first entry the text; the design starts empty.
    for (QComboBox* combo : {ComboBox1, ComboBox3}) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

void TForm1::FormClose() {
    // Only the language choice lives in the INI file: when it cannot be written the user is
    // told (once, also when a failed post below keeps the window open for another close), and
    // the edits are still saved and the files compacted.
    const QString path = settingsPath();
    if (!app::writeProfileString(path, settingsSection, languageKey, languageCode) && !iniFailureShown_) {
        iniFailureShown_ = true;
        showMessage(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
    }
    closeStepPostEdits();
    closeStepReleaseConnections();
    closeStepCompact();
}

QString TForm1::settingsPath() {
    if (!settingsPathOverride.isEmpty()) return settingsPathOverride;
    // Chosen once per run: finding out whether the executable's folder takes the file costs a
    // file creation there.
    static const QString chosen = app::settingsFileFor(
        app::iniPathForExecutable(QCoreApplication::applicationFilePath()), userSettingsFolder());
    return chosen;
}

QString TForm1::userSettingsFolder() {
    // Asked for under Kantelo's name whatever the executable is called, as the backup folder is.
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Kantelo"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QCoreApplication::setApplicationName(ownName);
    return folder;
}

// ---- About ----------------------------------------------------------------------------------

void TForm1::About2Click() {
    if (!AboutBox) AboutBox = new TAboutBox(this);
    execDialog(*AboutBox);
}

// ---- Shared services ------------------------------------------------------------------------

// Every message shown is also appended to the file $KANTELO_MESSAGE_LOG names, when it is set:
// what the user was told, for support and for tests of the Windows program, whose message boxes
// cannot be read from outside.
void TForm1::logMessage(const QString& text) {
    const QString log = qEnvironmentVariable("KANTELO_MESSAGE_LOG");
    if (log.isEmpty()) return;
    QFile file(log);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) file.write(text.toUtf8() + "\n");
}

void TForm1::showMessage(const QString& text) {
    if (messageSink) {
        messageSink(text);
        return;
    }
    // Lines broken by a lone CR (the long-process warning) are shown as lines.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    logMessage(shown);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kantelo"), shown, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TForm1::execDialog(QDialog& dialog) {
    if (dialogSink) {
        dialogSink(dialog);
        return;
    }
    dialog.exec();
}

void TForm1::processPendingEvents() {
    if (app::PacedPasses* pacing = app::PacedPasses::active()) pacing->pass();
    else app::processPendingEvents();
}

void TForm1::setControlColor(QWidget* control, const QColor& color) {
    QPalette palette = control->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, color);
    control->setPalette(palette);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->setPalette(palette);
}

// ---- Panes ----------------------------------------------------------------------------------

QTextEdit* TForm1::paneView(int pane) const { return pane == 2 ? RE2 : RE1; }
QPlainTextEdit* TForm1::paneMemo(int pane) const { return pane == 2 ? DBMemo2 : DBMemo1; }
data::Query& TForm1::paneQuery(int pane) { return pane == 2 ? ADOQuery2 : ADOQuery1; }
data::Connection& TForm1::paneConnection(int pane) { return pane == 2 ? ADOConnection2 : ADOConnection1; }
bool& TForm1::paneEdited(int pane) { return pane == 2 ? edited2 : edited1; }
QString& TForm1::paneDatabasePath(int pane) { return pane == 2 ? databasePath2 : databasePath1; }
