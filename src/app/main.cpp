// Program entry: only wires the application together.
#include "app/about_box.h"
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The title is the message boxes' caption; it is not made the display name, which Qt
    // would append to every window title.
    QApplication::setApplicationName(QStringLiteral("Kantelo"));
    TForm1 form;
    form.AboutBox = new TAboutBox(&form);
    form.show();
    return application.exec();
}
