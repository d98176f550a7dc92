#include "app/format_dialog.h"

#include "app/event_guard.h"
#include "app/line_length_guide.h"
#include "app/rich_edit_view.h"
#include "verse/blanks.h"
#include "verse/fill.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kLongestMaximum = 9999;
constexpr int kMostSlideLines = 99;

} // namespace

FormatDialog::FormatDialog(const texts::FormatTexts& texts, const verse::Markers& markers,
                           const verse::SlideFormat& format, const QFont& viewFont, QWidget* parent)
    : QDialog(parent), texts_(texts), markers_(markers), viewFont_(viewFont) {
    setWindowTitle(texts.dialogTitle);
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    maxLineLength_ = new QSpinBox(this);
    maxLineLength_->setRange(1, kLongestMaximum);
    maxLineLength_->setValue(std::max(1, format.maxLineLength));
    maxSlideLines_ = new QSpinBox(this);
    maxSlideLines_->setRange(0, kMostSlideLines);
    maxSlideLines_->setValue(format.maxSlideLines);
    keep_ = new QCheckBox(texts.keepLineBreaks, this);
    keep_->setChecked(format.keepLineBreaks);
    fields->addRow(texts.maxLineLength, maxLineLength_);
    fields->addRow(texts.maxSlideLines, maxSlideLines_);
    fields->addRow(keep_);
    layout->addLayout(fields);

    previewArea_ = new QWidget(this);
    new QVBoxLayout(previewArea_);
    previewArea_->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(previewArea_, 1);

    auto* buttons = new QHBoxLayout;
    verseButton_ = new QPushButton(texts.formatVerse, this);
    bookButton_ = new QPushButton(texts.formatBook, this);
    bibleButton_ = new QPushButton(texts.formatBible, this);
    auto* close = new QPushButton(texts.closeButton, this);
    for (QPushButton* b : {verseButton_, bookButton_, bibleButton_, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    auto changed = [this] { app::runGuarded([this] { refreshPreview(); }); };
    connect(maxLineLength_, &QSpinBox::valueChanged, this, changed);
    connect(maxSlideLines_, &QSpinBox::valueChanged, this, changed);
    connect(keep_, &QCheckBox::toggled, this, changed);
    connect(verseButton_, &QPushButton::clicked, this, [this] {
        // The change runs inside this box's event loop: an error ends it here, in a message box.
        app::runGuarded([this] {
            if (formatVerse) formatVerse(this->format());
            refreshPreview();
        });
    });
    connect(bookButton_, &QPushButton::clicked, this, [this] {
        run_ = Run::Book;
        accept();
    });
    connect(bibleButton_, &QPushButton::clicked, this, [this] {
        run_ = Run::Bible;
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 460);
}

verse::SlideFormat FormatDialog::format() const {
    return {maxLineLength_->value(), maxSlideLines_->value(), keep_->isChecked()};
}

void FormatDialog::refreshPreview() {
    const std::vector<Verse> shown = verses ? verses() : std::vector<Verse>{};
    // One caption and one preview per open pane, made when first needed.
    while (previews_.size() < shown.size()) {
        auto* caption = new QLabel(previewArea_);
        auto* preview = new QTextEdit(previewArea_);
        preview->setReadOnly(true);
        preview->setFont(viewFont_);
        preview->setMinimumHeight(120);
        new RichEditView(*preview);
        auto* guide = new LineLengthGuide(*preview);
        guide->isMarkerLine = [this](const QString& line) {
            const QString t = verse::trimmed(line);
            return t == markers_.newSlide || t == markers_.emptyLine;
        };
        previewArea_->layout()->addWidget(caption);
        previewArea_->layout()->addWidget(preview);
        captions_.push_back(caption);
        previews_.push_back(preview);
    }
    for (size_t i = 0; i < previews_.size(); ++i) {
        const bool used = i < shown.size();
        captions_[i]->setVisible(used);
        previews_[i]->setVisible(used);
        if (!used) continue;
        captions_[i]->setText(texts_.previewOf.arg(shown[i].bible));
        auto* lines = previews_[i]->findChild<RichEditView*>(QString(), Qt::FindDirectChildrenOnly);
        verse::fillView(*lines, verse::formatForSlides(shown[i].stored, format()), markers_);
        previews_[i]->findChild<LineLengthGuide*>(QString(), Qt::FindDirectChildrenOnly)->setMaximum(format().maxLineLength);
    }
    verseButton_->setEnabled(!shown.empty());
    bookButton_->setEnabled(!shown.empty());
    bibleButton_->setEnabled(!shown.empty());
}

} // namespace app
