// The Find box: a text field and the list of verses of the whole bible that hold the text
// (reference and the line that holds it). The list follows the typing; Up and Down choose a
// hit, Enter (or a double-click) goes to the chosen one and closes the box.
#pragma once
#include "bibledb/verse_search.h"
#include "texts/ui_texts.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace app {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    // At most this many hits are listed; the count above the list tells all.
    static constexpr int kListed = 1000;

    FindDialog(const texts::UiTexts& texts, QWidget* parent);
    std::function<bibledb::SearchResult(const QString& text, int limit)> search;
    std::function<QString(const bibledb::VersePlace&)> describe; // "John 3:16"
    std::function<void(const bibledb::VersePlace&)> go;

    // Searches now for the field's text (typing searches after a short pause).
    void searchNow();
    QLineEdit* field() const { return field_; }
    QListWidget* hits() const { return list_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void goToChosen();

    const texts::UiTexts texts_;
    QLineEdit* field_;
    QLabel* summary_;
    QListWidget* list_;
    QTimer* pause_;
    QString searched_;    // the text the list shows the hits of
    bool hasSearched_ = false;
};

} // namespace app
