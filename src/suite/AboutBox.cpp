#include "suite/AboutBox.h"

#include "system/Desktop.h"
#include "system/FixedBorder.h"
#include "system/MsgBox.h"

#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr quint32 localMachine = 0x80000002u;
constexpr quint32 textType = 1;
constexpr quint32 numberType = 4;

QPixmap aboutPicture() {
    QPixmap picture(360, 200);
    QPainter p(&picture);
    QLinearGradient shade(0, 0, 0, 200);
    shade.setColorAt(0, QColor(40, 70, 140));
    shade.setColorAt(1, QColor(120, 160, 220));
    p.fillRect(picture.rect(), shade);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Serif"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 40, 360, 50), Qt::AlignCenter, QStringLiteral("Vormelin Quillet 98"));
    QFont line(QStringLiteral("Sans"));
    line.setPixelSize(13);
    p.setFont(line);
    p.drawText(QRect(0, 100, 360, 60), Qt::AlignCenter,
               QStringLiteral("The word processor of the Vormelin suite"));
    return picture;
}

QIcon buttonPicture(const QString& text, const QColor& colour) {
    QPixmap picture(110, 26);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 0.5, 109, 25), 5, 5);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.drawText(picture.rect(), Qt::AlignCenter, text);
    return QIcon(picture);
}

QPushButton* pictureButton(QWidget* parent, const char* name, const QString& text,
                           const QColor& colour) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(buttonPicture(text, colour));
    button->setIconSize(QSize(110, 26));
    // The picture carries the text; assistive tools get it as the name.
    button->setAccessibleName(text);
    button->setToolTip(text);
    return button;
}

// Text as the registry hands it over: the zero that ends it is not part of it.
QString registryText(const QByteArray& bytes) {
    QByteArray kept = bytes;
    if (kept.endsWith('\0'))
        kept.chop(1);
    return QString::fromUtf8(kept);
}

QString registryNumber(const QByteArray& bytes) {
    QString text = QStringLiteral("&h");
    for (qsizetype i = bytes.size(); i > 0; --i)
        text += QStringLiteral("%1").arg(uchar(bytes[i - 1]), 2, 16, QLatin1Char('0'));
    return text;
}
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    FxOrder = new QLabel(this);
    FxOrder->setObjectName(QStringLiteral("FxOrder"));
    FxOrder->setTextFormat(Qt::PlainText);
    FxOrder->setPixmap(aboutPicture());
    FxOrder->setGeometry(10, 10, 360, 200);
    FxOrder->setAccessibleName(QStringLiteral("Vormelin Quillet 98"));
    Command1 = pictureButton(this, "Command1", QStringLiteral("System Info"), QColor(60, 110, 60));
    Command1->setGeometry(10, 220, 130, 34);
    OK = pictureButton(this, "OK", QStringLiteral("OK"), QColor(50, 80, 150));
    OK->setGeometry(240, 220, 130, 34);
    OK->setDefault(true);
    setTabOrder(Command1, OK);
    setFixedSize(380, 264);
    useFixedBorder(*this);
    connect(Command1, &QPushButton::clicked, this, &AboutBox::StartSysInfo);
    connect(OK, &QPushButton::clicked, this, &AboutBox::close);
}

void AboutBox::StartSysInfo() {
    Desktop& desktop = DesktopSeam::current();
    QString tool;
    QString path;
    if (GetKeyValue(localMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path)) {
        tool = path;
    } else if (GetKeyValue(localMachine,
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QStringLiteral("MSINFO"), path) &&
               QFileInfo(path + QStringLiteral("/MSINFO32.EXE")).isFile()) {
        tool = path + QStringLiteral("/MSINFO32.EXE");
    }
    if (!tool.isEmpty() && desktop.startProgram(tool, {}))
        return;
    MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), MsgBoxStyle::OkOnly);
}

bool AboutBox::GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    const std::optional<RegistryValue> value =
        DesktopSeam::current().registryValue(KeyRoot, KeyName, SubKeyRef);
    if (!value) {
        KeyVal.clear();
        return false;
    }
    if (value->type == textType)
        KeyVal = registryText(value->data);
    else if (value->type == numberType)
        KeyVal = registryNumber(value->data);
    return true;
}
