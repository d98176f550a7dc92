// TAboutBox, the About dialog: program name, version and authors in a fixed-size dialog that
// the About menu item shows modally. Its texts do not change with the interface language.
#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;  // first author line
    QLabel* Comments = nullptr;   // second author line, word-wrapped
    QPushButton* OKButton = nullptr;
};

// The program's icon, painted (no image files): also the main window's icon.
QPixmap programIconPixmap(int size);
