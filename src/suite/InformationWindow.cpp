#include "suite/InformationWindow.h"

#include "suite/PictureBackground.h"
#include "system/Desktop.h"
#include "system/FixedBorder.h"
#include "system/LoadedOnFirstUse.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

int16_t InformationWindow::ReadingFile = Flags::False;

namespace {
LoadedOnFirstUse<InformationWindow> theWindow;

QRect twipsRect(int left, int top, int width, int height) {
    return DesktopSeam::current().screen().toPixels(left, top, width, height);
}

// The stop button's picture: a 95 × 20 strip reading "Stop".
QPixmap stopPicture() {
    QPixmap picture(95, 20);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(150, 30, 30));
    p.setBrush(QColor(210, 60, 50));
    p.drawRoundedRect(QRectF(0.5, 0.5, 94, 19), 4, 4);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Stop"));
    return picture;
}

} // namespace

InformationWindow& InformationWindow::instance() {
    return theWindow.get([] { return new InformationWindow; },
                         [](InformationWindow& form) { form.Form_Load(); });
}

bool InformationWindow::isLoaded() {
    return theWindow.loaded() != nullptr;
}

void InformationWindow::unload() {
    // Unloaded at once, so a search sees it stopped; the window itself goes once the events being
    // handled, the click on its own button among them, are over.
    if (InformationWindow* form = theWindow.loaded()) {
        form->Form_Unload();
        form->hide();
        form->deleteLater();
    }
}

void InformationWindow::tell(const QString& text) {
    Label1->setText(text);
}

void InformationWindow::addLine(const QString& line) {
    Label1->setText(Label1->text() + QStringLiteral("\r\n") + line);
}

InformationWindow::InformationWindow() : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FormTop"));
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(twipsRect(0, 0, 3555, 1605).size());
    useFixedBorder(*this);
    FXBack = new PictureBackground(QColor(235, 240, 250), QColor(200, 210, 230), this);
    FXBack->setObjectName(QStringLiteral("FXBack"));
    FXBack->setGeometry(rect());
    Label1 = new QLabel(QStringLiteral(" Reading the file..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(twipsRect(180, 210, 3135, 705));
    Label1->setFont(QFont(QStringLiteral("Arial")));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Stop"));
    Command1->setToolTip(QStringLiteral("Stop"));
    Command1->setGeometry(twipsRect(960, 1080, 1500, 340));
    Command1->setIcon(stopPicture());
    Command1->setIconSize(QSize(95, 20));
    connect(Command1, &QPushButton::clicked, this, &InformationWindow::stop);
}

InformationWindow::~InformationWindow() {
    Form_Unload();
}

void InformationWindow::Form_Load() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    InformationWindow::ReadingFile = Flags::True;
}

void InformationWindow::Form_Unload() {
    if (theWindow.loaded() != this)
        return;
    theWindow.forget();
    QApplication::restoreOverrideCursor();
    InformationWindow::ReadingFile = Flags::False;
}

void InformationWindow::stop() {
    unload();
}

void InformationWindow::reject() {
    // Esc unloads the window as its button does, rather than only hiding it.
    close();
}

void InformationWindow::closeEvent(QCloseEvent* event) {
    // Closing the window by its title bar unloads it like its button does.
    event->accept();
    Form_Unload();
    deleteLater();
}
