#include "app/line_length_guide.h"

#include "verse/blanks.h"
#include "verse/long_lines.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace app {

namespace {

// The UTF-16 offset of character `count` of `line` (surrogate pairs are one character).
int offsetOfCharacter(const QString& line, int count) {
    int offset = 0;
    for (int n = 0; n < count && offset < line.size(); ++n)
        offset += line[offset].isHighSurrogate() && offset + 1 < line.size() ? 2 : 1;
    return offset;
}

class GuideOverlay : public QWidget {
public:
    GuideOverlay(QWidget* parent, const LineLengthGuide& guide) : QWidget(parent), guide_(guide) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const int x = guide_.guideX();
        if (x < 0 || x >= width()) return;
        QPainter p(this);
        p.setPen(QPen(LineLengthGuide::guideColour(), 1, Qt::DashLine));
        p.drawLine(x, 0, x, height() - 1);
    }

private:
    const LineLengthGuide& guide_;
};

} // namespace

LineLengthGuide::LineLengthGuide(QTextEdit& view) : QObject(&view), view_(view) {
    overlay_ = new GuideOverlay(view.parentWidget(), *this);
    overlay_->hide();
    connect(view_.document(), &QTextDocument::contentsChanged, this, [this] { updateMarks(); });
    connect(view_.horizontalScrollBar(), &QScrollBar::valueChanged, overlay_, [this] { overlay_->update(); });
    view_.viewport()->installEventFilter(this);
    view_.installEventFilter(this);
}

void LineLengthGuide::setMaximum(int characters) {
    maximum_ = std::max(0, characters);
    updateMarks();
    placeOverlay();
}

int LineLengthGuide::guideX() const {
    if (maximum_ <= 0) return -1;
    // With a proportional font no line of that many characters has one width: the guide stands
    // where that many characters of ordinary prose end (the font's average character is wider
    // than prose, whose letters are mostly small); the marks show each long line's own limit.
    static const QString prose = QStringLiteral("and the earth was without form, and void; and darkness was upon it. ");
    const double width = QFontMetricsF(view_.font()).horizontalAdvance(prose) / prose.size() * maximum_;
    return int(view_.document()->documentMargin() + width) - view_.horizontalScrollBar()->value();
}

QList<QPair<int, int>> LineLengthGuide::marks() const {
    QList<QPair<int, int>> result;
    for (const QTextEdit::ExtraSelection& s : view_.extraSelections()) {
        const QTextBlock block = view_.document()->findBlock(s.cursor.selectionStart());
        const QString before = block.text().left(s.cursor.selectionStart() - block.position());
        result.append({block.blockNumber(), verse::characterCount(before)});
    }
    return result;
}

void LineLengthGuide::updateMarks() {
    QList<QTextEdit::ExtraSelection> selections;
    if (maximum_ > 0) {
        QTextCharFormat mark;
        mark.setBackground(markColour());
        for (QTextBlock block = view_.document()->begin(); block.isValid(); block = block.next()) {
            const QString line = block.text();
            if (verse::isBlankLine(line) || (isMarkerLine && isMarkerLine(line))) continue;
            if (verse::characterCount(line) <= maximum_) continue;
            QTextEdit::ExtraSelection s;
            s.format = mark;
            s.cursor = QTextCursor(block);
            s.cursor.setPosition(block.position() + offsetOfCharacter(line, maximum_));
            s.cursor.setPosition(block.position() + line.size(), QTextCursor::KeepAnchor);
            selections.append(s);
        }
    }
    // Setting an empty list again would repaint the view for nothing at every fill.
    if (!selections.isEmpty() || !view_.extraSelections().isEmpty()) view_.setExtraSelections(selections);
}

void LineLengthGuide::placeOverlay() {
    const QWidget* viewport = view_.viewport();
    overlay_->setGeometry(QRect(viewport->mapTo(overlay_->parentWidget(), QPoint(0, 0)), viewport->size()));
    overlay_->setVisible(maximum_ > 0);
    overlay_->raise();
    overlay_->update();
}

bool LineLengthGuide::eventFilter(QObject* watched, QEvent* event) {
    if (maximum_ > 0 && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) placeOverlay();
    return QObject::eventFilter(watched, event);
}

} // namespace app
