// TForm1: the Tools menu's Format for slides: its box, the settings it keeps, and formatting the
// verses the panes show. The book and whole-bible runs are in tform1_maintenance.cpp, beside the
// whole-bible options.
#include "app/tform1.h"

#include "app/event_guard.h"
#include "app/format_dialog.h"
#include "app/ini_file.h"
#include "app/rich_edit_view.h"
#include "maintenance/format_run.h"
#include "texts/format_texts.h"
#include "verse/fill.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QTextEdit>

namespace {

const QString settingsSection = QStringLiteral("Settings");
const QString maxLineLengthKey = QStringLiteral("MaxLineLength");
const QString maxSlideLinesKey = QStringLiteral("MaxSlideLines");
constexpr int kMostSlideLines = 99;
constexpr int kDefaultLineLength = 40; // offered while no maximum line length is set

QString languageOf(const texts::UiTexts& language) {
    for (const char* code : {"NL", "UK", "DE"})
        if (texts::textsForCode(QLatin1String(code)) == language) return QLatin1String(code);
    return QStringLiteral("UK");
}

void writeSetting(const QString& key, int value) {
    const QString path = TForm1::settingsPath();
    if (!app::writeProfileString(path, settingsSection, key, QString::number(value)))
        throw app::AppError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

void TForm1::buildFormatMenu() {
    QMenu* extra = Extra1->menu();
    FormatForSlides1 = extra->addAction(QStringLiteral("Opmaken voor dia's…"));
    connect(FormatForSlides1, &QAction::triggered, this, [this] { app::runGuarded([this] { FormatForSlides1Click(); }); });
}

void TForm1::applyFormatTexts(const texts::UiTexts& language) {
    FormatForSlides1->setText(texts::formatTexts(languageOf(language)).menuCaption);
}

void TForm1::readMaxSlideLines() {
    bool ok = false;
    const int value =
        app::readProfileString(settingsPath(), settingsSection, maxSlideLinesKey, QStringLiteral("0")).toInt(&ok);
    maxSlideLines = ok && value >= 0 && value <= kMostSlideLines ? value : 0;
}

void TForm1::storeFormatSettings(const verse::SlideFormat& format) {
    formatKeepsLineBreaks = format.keepLineBreaks;
    if (format.maxSlideLines != maxSlideLines) {
        maxSlideLines = format.maxSlideLines;
        writeSetting(maxSlideLinesKey, maxSlideLines);
    }
    if (format.maxLineLength != maxLineLength) {
        writeSetting(maxLineLengthKey, format.maxLineLength);
        readMaxLineLength(); // the guide in both views follows
    }
}

void TForm1::FormatForSlides1Click() {
    if (modifyDBRunning || !paneOpen(1)) return;
    const verse::Markers markers{texts.newSlideMarker, texts.emptyLineMarker};
    const verse::SlideFormat start{maxLineLength > 0 ? maxLineLength : kDefaultLineLength, maxSlideLines,
                                   formatKeepsLineBreaks};
    app::FormatDialog dialog(texts::formatTexts(languageCode), markers, start, RE1->font(), this);
    dialog.verses = [this, markers] {
        std::vector<app::FormatDialog::Verse> shown;
        for (int pane : {1, 2}) {
            if (!paneOpen(pane) || !paneView(pane)->isEnabled()) continue;
            const QComboBox* selector = pane == 1 ? ComboBox1 : ComboBox3;
            shown.push_back({selector->currentText(), maintenance::storedTextOf(paneLines(pane), markers)});
        }
        return shown;
    };
    dialog.formatVerse = [this](const verse::SlideFormat& format) {
        storeFormatSettings(format);
        formatShownVerses(format);
    };
    dialog.refreshPreview();
    execDialog(dialog);
    activateWindow();
    if (dialog.chosenRun() == app::FormatDialog::Run::None) return;
    storeFormatSettings(dialog.format());
    formatBibles(dialog.format(), dialog.chosenRun() == app::FormatDialog::Run::Book);
}

void TForm1::formatShownVerses(const verse::SlideFormat& format) {
    const verse::Markers markers{texts.newSlideMarker, texts.emptyLineMarker};
    for (int pane : {1, 2}) {
        if (!paneOpen(pane) || !paneView(pane)->isEnabled()) continue;
        app::RichEditView& lines = paneLines(pane);
        const QString stored = maintenance::storedTextOf(lines, markers);
        const QString formatted = verse::formatForSlides(stored, format);
        if (formatted == stored) continue;
        {
            const app::RichEditView::UndoStep step(lines);
            verse::replaceVerse(lines, formatted, markers);
        }
        paneEdited(pane) = true;
    }
}
