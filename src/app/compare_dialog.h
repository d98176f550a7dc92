// The box that lists where the two open versions differ: one line per chapter whose verse
// count differs or that one of them lacks (book, chapter, the verse counts of both). Up and
// Down choose a line, Enter (or a double-click) goes to the chapter and closes the box.
#pragma once
#include "bibledb/version_compare.h"
#include "texts/ui_texts.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    // `names`: the two versions' names for the column heads. A line for which `canGo` is false
    // (a chapter that version 1 cannot show) is listed greyed and cannot be chosen.
    CompareDialog(const texts::UiTexts& texts, const QString& nameA, const QString& nameB,
                  const bibledb::VersionComparison& comparison,
                  const std::function<bool(const bibledb::ChapterDifference&)>& canGo, QWidget* parent);
    // Called with verse 1 of the chosen chapter.
    std::function<void(const bibledb::VersePlace&)> go;

    QTreeWidget* list() const { return list_; }
    QLabel* summary() const { return summary_; }
    void goToChosen();              // Enter
    void goTo(const QTreeWidgetItem* item); // a double-click; a greyed line goes nowhere

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* summary_;
    QTreeWidget* list_;
};

} // namespace app
