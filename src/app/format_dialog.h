// The Format for slides box: the maximum line length and lines per slide, "keep my line breaks",
// a live preview of the current verse of each open pane as it would become (drawn as the views
// draw it), and the buttons that format this verse, this book or the whole bible.
#pragma once
#include "texts/format_texts.h"
#include "verse/markers.h"
#include "verse/slide_format.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTextEdit;

namespace app {

class FormatDialog : public QDialog {
    Q_OBJECT
public:
    struct Verse {
        QString bible;  // the pane's bible, as its selector names it
        QString stored; // the verse as the pane's view would store it now
    };
    enum class Run { None, Book, Bible };

    FormatDialog(const texts::FormatTexts& texts, const verse::Markers& markers, const verse::SlideFormat& format,
                 const QFont& viewFont, QWidget* parent);

    // The verses of the open panes (pane 1 first); asked for anew after every change.
    std::function<std::vector<Verse>()> verses;
    // "Format this verse": formats the panes' views (the box stays open and shows the result).
    std::function<void(const verse::SlideFormat&)> formatVerse;

    verse::SlideFormat format() const;
    // The book or bible run chosen (the box then closes and the window runs it), or None.
    Run chosenRun() const { return run_; }
    // Builds the previews from `verses` (called when the box opens and after every change).
    void refreshPreview();

    QSpinBox* maxLineLength() const { return maxLineLength_; }
    QSpinBox* maxSlideLines() const { return maxSlideLines_; }
    QCheckBox* keepLineBreaks() const { return keep_; }
    QPushButton* verseButton() const { return verseButton_; }
    QPushButton* bookButton() const { return bookButton_; }
    QPushButton* bibleButton() const { return bibleButton_; }
    // The preview of the i-th verse (0: pane 1's).
    QTextEdit* preview(int i) const { return i < int(previews_.size()) ? previews_[size_t(i)] : nullptr; }

private:
    const texts::FormatTexts& texts_;
    verse::Markers markers_;
    QFont viewFont_;
    QSpinBox* maxLineLength_;
    QSpinBox* maxSlideLines_;
    QCheckBox* keep_;
    QPushButton* verseButton_;
    QPushButton* bookButton_;
    QPushButton* bibleButton_;
    QWidget* previewArea_;
    std::vector<QLabel*> captions_;
    std::vector<QTextEdit*> previews_;
    Run run_ = Run::None;
};

} // namespace app
