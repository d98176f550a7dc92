#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

QPixmap programIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // An open book on a projection screen: the program edits verses for projection.
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(255, 251, 240));
    p.drawRect(QRectF(2.5, 2.5, 27, 20));
    p.setBrush(QColor(128, 0, 128));
    // Each page from the spine at x 16 outwards, to the left (-1) or the right (+1).
    for (double side : {-1.0, 1.0}) {
        auto x = [side](double fromSpine) { return 16 + side * fromSpine; };
        QPainterPath page;
        page.moveTo(16, 9);
        page.cubicTo(x(4), 6.5, x(8), 6.5, x(11), 8);
        page.lineTo(x(11), 19);
        page.cubicTo(x(8), 17.5, x(4), 17.5, 16, 20);
        page.closeSubpath();
        p.drawPath(page);
    }
    p.setPen(QPen(QColor(255, 251, 240), 1));
    for (double y : {11.0, 13.5, 16.0}) {
        p.drawLine(QPointF(7, y), QPointF(14, y + 0.8));
        p.drawLine(QPointF(18, y + 0.8), QPointF(25, y));
    }
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.drawLine(QPointF(16, 23), QPointF(16, 28));
    p.drawLine(QPointF(10, 30), QPointF(22, 30));
    return pixmap;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 213);
    setModal(true);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(programIconPixmap(32));

    ProductName = new QLabel(QStringLiteral("Kantelo"), Panel1);
    ProductName->move(88, 16);
    ProductName->adjustSize();

    Version = new QLabel(QStringLiteral("Version 3.0"), Panel1);
    Version->move(88, 40);
    Version->adjustSize();

    Copyright = new QLabel(QStringLiteral("Kantelo developers"), Panel1);
    Copyright->move(8, 80);
    Copyright->adjustSize();

    Comments = new QLabel(QStringLiteral("Edits Lumora bible databases for projection"), Panel1);
    Comments->setWordWrap(true);
    Comments->setGeometry(8, 104, 110, Comments->heightForWidth(110));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
