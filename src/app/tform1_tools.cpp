// TForm1: the Tools menu (Extra1): going to a typed reference, finding text in the whole bible,
// and the maximum line length with the step to the next verse that exceeds it.
#include "app/tform1.h"

#include "app/event_guard.h"
#include "app/find_dialog.h"
#include "app/goto_dialog.h"
#include "app/ini_file.h"
#include "app/line_length_guide.h"
#include "bibledb/bible_schema.h"
#include "bibledb/long_verses.h"
#include "bibledb/reference.h"
#include "bibledb/verse_search.h"
#include "verse/blanks.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>

#include <utility>

namespace {

const QString settingsSection = QStringLiteral("Settings");
const QString maxLineLengthKey = QStringLiteral("MaxLineLength");
constexpr int kLongestMaximum = 9999;

// Steps the query row by row, as the verse steps do, to the last row whose verse number is not
// above `verse`. Every row on the way would fill the view and let events run (Psalm 119:176 is
// 175 rows on): the query's events are held back on the way and fired once for the row reached.
void stepToVerse(data::Query& query, int verse) {
    struct HeldEvents {
        data::Query& query;
        std::function<void()> dataChange = std::exchange(query.onDataChange, nullptr);
        std::function<void()> afterScroll = std::exchange(query.afterScroll, nullptr);
        ~HeldEvents() {
            query.onDataChange = dataChange;
            query.afterScroll = afterScroll;
        }
    };
    bool moved = false;
    {
        const HeldEvents held{query};
        auto here = [&] { return bibledb::verseOf(query); };
        while (query.active() && query.recordNumber() >= 0 && query.recordNumber() + 1 < query.recordCount() &&
               here() < verse) {
            query.next();
            moved = true;
        }
        if (query.active() && query.recordNumber() > 0 && here() > verse) {
            query.prior();
            moved = true;
        }
    }
    if (!moved) return;
    if (query.onDataChange) query.onDataChange();
    if (query.afterScroll) query.afterScroll();
}

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

} // namespace

void TForm1::buildExtraMenu() {
    // Extra1 exists already (built right after Options1); these entries follow its own.
    QMenu* extra = Extra1->menu();
    extra->addSeparator();
    Goto1 = extra->addAction(QStringLiteral("Ga naar..."));
    Goto1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    Find1 = extra->addAction(QStringLiteral("Zoeken..."));
    Find1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    buildCompareEntry();
    extra->addSeparator();
    MaxLineLength1 = extra->addAction(QStringLiteral("Maximale regellengte..."));
    NextLongLine1 = extra->addAction(QStringLiteral("Volgende te lange regel"));
    NextLongLine1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    NextLongLine1->setEnabled(false);

    auto guard = [](auto handler) { return [handler] { app::runGuarded(handler); }; };
    connect(Goto1, &QAction::triggered, this, guard([this] { Goto1Click(); }));
    connect(Find1, &QAction::triggered, this, guard([this] { Find1Click(); }));
    connect(MaxLineLength1, &QAction::triggered, this, guard([this] { MaxLineLength1Click(); }));
    connect(NextLongLine1, &QAction::triggered, this, guard([this] { NextLongLine1Click(); }));
}

void TForm1::applyExtraTexts(const texts::UiTexts& language) {
    Goto1->setText(language.goto1Caption);
    Find1->setText(language.find1Caption);
    MaxLineLength1->setText(language.maxLineLength1Caption);
    NextLongLine1->setText(language.nextLongLine1Caption);
    applyCompareTexts(language);
}

// ---- Moving to a verse ----------------------------------------------------------------------

void TForm1::goToVerse(const bibledb::VersePlace& place) {
    // Saved before the book selector changes: the save lets events run, and they must see the
    // position the saved text belongs to. Choosing the book then saves again (the same text,
    // as after any save the panes stay edited until they show another verse) and puts both
    // panes on chapter 1; the chapter step counts from there.
    saveEditedPanes();
    ComboBox2->setCurrentIndex(place.book - 1);
    ComboBox2Change();
    if (place.chapter != 1) stepChapter(place.chapter - 1);
    stepToVerse(ADOQuery1, place.verse);
    Label7->setText(ADOQuery1.fieldByName(bibledb::kVerseColumn).asString());
    if (ADOQuery2.active()) stepToVerse(ADOQuery2, place.verse);
    showPane2Reference();
}

std::vector<bibledb::VerseRow> TForm1::pane1VerseRows() {
    // Reads the file as it is now: saves made since the pane was opened included.
    ADOConnection1.refreshIfChanged();
    return bibledb::readVerseRows(ADOConnection1.database());
}

namespace {

// The tools move pane 1 through the book selector: they need an open bible with books, and
// stay out of the whole-bible run's way.
bool canMove(TForm1& form) {
    return form.ADOQuery1.active() && form.ComboBox2->isEnabled() && form.ComboBox2->count() > 0 &&
           !form.modifyDBRunning;
}

} // namespace

// ---- Go to ----------------------------------------------------------------------------------

void TForm1::Goto1Click() {
    if (!canMove(*this)) return;
    app::GotoDialog dialog(texts, this);
    dialog.onEnter = [this](const QString& text) { return GotoReference(text); };
    execDialog(dialog);
    // Back to the window, so that its shortcuts work at once (not every window manager hands
    // the activation back when a box closes).
    activateWindow();
}

bool TForm1::GotoReference(const QString& text) {
    const QStringList names = itemsOf(ComboBox2);
    const bibledb::Reference reference =
        bibledb::parseReference(text, names, bibledb::BibleOutline(pane1VerseRows()));
    if (!reference.ok()) {
        showMessage(app::referenceMessage(reference, text, names, texts));
        return false;
    }
    goToVerse(reference.place);
    return true;
}

// ---- Find -----------------------------------------------------------------------------------

void TForm1::Find1Click() {
    if (!canMove(*this)) return;
    const QStringList names = itemsOf(ComboBox2);
    std::vector<bibledb::VerseRow> rows = pane1VerseRows();
    // Only the books of the book selector can be shown.
    std::erase_if(rows, [&](const bibledb::VerseRow& row) { return row.place.book > names.size(); });
    const bibledb::VerseSearch index(std::move(rows));

    app::FindDialog dialog(texts, this);
    dialog.search = [&index](const QString& needle, int limit) { return index.search(needle, limit); };
    dialog.describe = [&names](const bibledb::VersePlace& p) {
        return names[p.book - 1] + QLatin1Char(' ') + QString::number(p.chapter) + QLatin1Char(':') +
               QString::number(p.verse);
    };
    dialog.go = [this](const bibledb::VersePlace& place) { goToVerse(place); };
    execDialog(dialog);
    activateWindow();
}

// ---- Lines too long -------------------------------------------------------------------------

namespace {

app::LineLengthGuide& guideOf(QTextEdit* view, const texts::UiTexts& texts) {
    auto* guide = view->findChild<app::LineLengthGuide*>(QString(), Qt::FindDirectChildrenOnly);
    if (!guide) {
        guide = new app::LineLengthGuide(*view);
        // The texts live in the window, which outlives its views.
        guide->isMarkerLine = [&texts](const QString& line) {
            const QString t = verse::trimmed(line);
            return t == texts.newSlideMarker || t == texts.emptyLineMarker;
        };
    }
    return *guide;
}

// The views draw the maximum; the step to the next long verse is there only while it is set.
void showMaximum(TForm1& form) {
    for (QTextEdit* view : {form.RE1, form.RE2}) guideOf(view, form.texts).setMaximum(form.maxLineLength);
    form.NextLongLine1->setEnabled(form.maxLineLength > 0);
}

} // namespace

void TForm1::readMaxLineLength() {
    bool ok = false;
    const int value =
        app::readProfileString(settingsPath(), settingsSection, maxLineLengthKey, QStringLiteral("0")).toInt(&ok);
    // A value that is no number, or out of range, means off.
    maxLineLength = ok && value >= 0 && value <= kLongestMaximum ? value : 0;
    showMaximum(*this);
}

void TForm1::MaxLineLength1Click() {
    QInputDialog dialog(this);
    dialog.setWindowTitle(texts.maxLineLengthTitle);
    dialog.setLabelText(texts.maxLineLengthPrompt);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(0, kLongestMaximum);
    dialog.setIntValue(maxLineLength);
    execDialog(dialog);
    if (dialog.result() != QDialog::Accepted) return;

    maxLineLength = dialog.intValue();
    showMaximum(*this);
    const QString path = settingsPath();
    if (!app::writeProfileString(path, settingsSection, maxLineLengthKey, QString::number(maxLineLength)))
        throw app::AppError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
}

void TForm1::NextLongLine1Click() {
    if (maxLineLength <= 0 || !canMove(*this)) return;
    saveEditedPanes();
    const bibledb::VersePlace here{currentBookNumber(), bibledb::chapterOf(ADOQuery1),
                                   bibledb::verseOf(ADOQuery1)};
    const auto next = bibledb::nextLongVerse(pane1VerseRows(), here, maxLineLength, ComboBox2->count());
    if (!next) {
        showMessage(texts.msgNoLongLineLeft.arg(maxLineLength));
        return;
    }
    goToVerse(*next);
}
