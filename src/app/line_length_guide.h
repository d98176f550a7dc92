// The maximum line length shown in an editor view: a thin vertical guide at that column and, on
// every verse line longer than the maximum, the characters past it marked. Only drawn: the
// view's text and the pane's edited flag are never touched.
#pragma once
#include <QColor>
#include <QObject>

#include <functional>

class QTextEdit;
class QWidget;

namespace app {

class LineLengthGuide : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `view` and follows its text, scrolling and size.
    explicit LineLengthGuide(QTextEdit& view);

    // 0 takes the guide and the marks away.
    void setMaximum(int characters);
    int maximum() const { return maximum_; }
    // Marker lines stand for stored empty or blank lines, which never count.
    std::function<bool(const QString& line)> isMarkerLine;

    // The marks as drawn: for each marked line, its index and the column (in characters) where
    // the mark starts.
    QList<QPair<int, int>> marks() const;
    // Where the guide stands, in the view's viewport coordinates; -1 when there is none.
    int guideX() const;

    static QColor markColour() { return {255, 205, 205}; }
    static QColor guideColour() { return {200, 60, 60}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateMarks();
    void placeOverlay();

    QTextEdit& view_;
    QWidget* overlay_ = nullptr; // a sibling above the view, so scrolling never moves it
    int maximum_ = 0;
};

} // namespace app
