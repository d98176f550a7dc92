// TForm1: comparing the two open versions (the Tools menu's list of the chapters in which their
// verse numbering differs) and pane 2's own reference while it stands on another verse number.
#include "app/tform1.h"

#include "app/compare_dialog.h"
#include "app/event_guard.h"
#include "bibledb/bible_schema.h"
#include "bibledb/version_compare.h"
#include "jet/error.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include <optional>

namespace {

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

// "c:\Lumora\HolyBibles\KJV.mdb" -> "KJV".
QString bibleNameOf(const QString& databasePath) {
    QString name = databasePath.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
    if (name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

// Where the query's current row stands; nothing without a current verse row.
std::optional<bibledb::VersePlace> placeOf(const data::Query& query) {
    if (!query.active() || query.recordNumber() < 0) return std::nullopt;
    const bibledb::VersePlace place{bibledb::bookOf(query), bibledb::chapterOf(query), bibledb::verseOf(query)};
    if (place.book <= 0) return std::nullopt; // a book-name row, while a bible is being opened
    return place;
}

} // namespace

void TForm1::buildCompareEntry() {
    Compare1 = Extra1->menu()->addAction(QString::fromUtf8("De twee versies vergelijken…"));
    connect(Compare1, &QAction::triggered, this, [this] { app::runGuarded([this] { Compare1Click(); }); });
}

void TForm1::applyCompareTexts(const texts::UiTexts& language) {
    // Label9 needs nothing here: the language changes only before a bible is open, while the
    // label is hidden.
    Compare1->setText(language.compare1Caption);
}

void TForm1::Compare1Click() {
    // As the other tools: an open bible with books, and not during the whole-bible run.
    if (!ADOQuery1.active() || !ComboBox2->isEnabled() || ComboBox2->count() == 0 || modifyDBRunning) return;
    if (!paneOpen(2)) {
        showMessage(texts.msgCompareNeedsTwo);
        return;
    }
    const QStringList names = itemsOf(ComboBox2);
    const bibledb::BibleShape first = bibledb::shapeOf(pane1VerseRows(), names);
    // Pane 2's file as it is now, saves made since it was opened included.
    ADOConnection2.refreshIfChanged();
    const bibledb::BibleShape second = bibledb::readBibleShape(ADOConnection2.database());
    const bibledb::VersionComparison comparison = bibledb::compareVersions(first, second);

    // Version 1 leads: only its chapters, of the books its book selector lists, can be gone to.
    auto canGo = [&names](const bibledb::ChapterDifference& d) { return d.versesA > 0 && d.book <= names.size(); };
    app::CompareDialog dialog(texts, bibleNameOf(databasePath1), bibleNameOf(databasePath2), comparison, canGo, this);
    dialog.go = [this](const bibledb::VersePlace& place) { goToVerse(place); };
    execDialog(dialog);
    activateWindow();
}

void TForm1::showPane2Reference() {
    std::optional<bibledb::VersePlace> pane1, pane2;
    const bool bothShown = !ComboBox1->currentText().isEmpty() && paneOpen(1) && paneOpen(2);
    try {
        if (bothShown) {
            pane1 = placeOf(ADOQuery1);
            pane2 = placeOf(ADOQuery2);
        }
    } catch (const jet::Error&) {
        // Only this label reads the rows here; a row whose numbers cannot be read is reported
        // by the step that reads it, so the label just stays hidden.
        pane1.reset();
    }
    QString text;
    switch (bibledb::comparePanes(pane1, pane2)) {
    case bibledb::PaneAgreement::Same:
        break;
    case bibledb::PaneAgreement::OtherVerse: {
        const QString book =
            pane2->book <= pane2BookNames.size() ? pane2BookNames[pane2->book - 1] : ComboBox2->currentText();
        text = texts.pane2At.arg(book + QLatin1Char(' ') + QString::number(pane2->chapter) + QStringLiteral(" : ") +
                                 QString::number(pane2->verse));
        break;
    }
    case bibledb::PaneAgreement::NoVerse: {
        const QString book =
            pane1->book <= pane2BookNames.size() ? pane2BookNames[pane1->book - 1] : ComboBox2->currentText();
        text = texts.pane2Missing.arg(book + QLatin1Char(' ') + QString::number(pane1->chapter));
        break;
    }
    }
    // Every step passes here, the whole-bible run's too: an unchanged label is left alone.
    if (text == Label9->text() && Label9->isHidden() == text.isEmpty()) return;
    if (text.isEmpty()) {
        Label9->setVisible(false);
        Label9->clear();
        return;
    }
    // The label grows to the left: its right edge stays at the right end of RE2.
    const int right = Label9->x() + Label9->width();
    Label9->setText(text);
    Label9->adjustSize();
    Label9->move(right - Label9->width(), Label9->y());
    Label9->setVisible(true);
}
