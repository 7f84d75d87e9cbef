#include "system/FontColorDialog.h"

#include "system/Colors.h"
#include "system/FontFamilies.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QVBoxLayout>

namespace {
struct NamedColor {
    const char* name;
    int r, g, b;
};

// The sixteen colours a font dialog has always offered.
constexpr NamedColor namedColors[] = {
    {"Black", 0, 0, 0},      {"Maroon", 128, 0, 0},    {"Green", 0, 128, 0},
    {"Olive", 128, 128, 0},  {"Navy", 0, 0, 128},      {"Purple", 128, 0, 128},
    {"Teal", 0, 128, 128},   {"Gray", 128, 128, 128},  {"Silver", 192, 192, 192},
    {"Red", 255, 0, 0},      {"Lime", 0, 255, 0},      {"Yellow", 255, 255, 0},
    {"Blue", 0, 0, 255},     {"Fuchsia", 255, 0, 255}, {"Aqua", 0, 255, 255},
    {"White", 255, 255, 255}};

QIcon swatch(const QColor& color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}
} // namespace

FontColorDialog::FontColorDialog(const FontChoice& initial, DialogFlags::Flags flags,
                                 QWidget* parent)
    : QDialog(parent), initialColor_(initial.color), givenNoName_(initial.name.isEmpty()) {
    setObjectName(QStringLiteral("FontColorDialog"));
    setWindowTitle(QStringLiteral("Font"));

    QFont font(initial.name);
    if (initial.size > 0)
        font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikethru);
    // Qt's own dialog, shown inside this one: its buttons are ours.
    font_ = new QFontDialog(font, this);
    font_->setWindowFlags(Qt::Widget);
    font_->setOptions(QFontDialog::NoButtons);
    font_->setSizeGripEnabled(false);
    nameFontDialogParts();
    shownFamily_ = font_->currentFont().family();

    colors_ = new QComboBox(this);
    colors_->setObjectName(QStringLiteral("colorBox"));
    for (const NamedColor& c : namedColors)
        colors_->addItem(swatch(QColor(c.r, c.g, c.b)), QString::fromLatin1(c.name),
                         Colors::fromRgb(c.r, c.g, c.b));
    selectColor(initial.color);
    auto* colorLabel = new QLabel(QStringLiteral("&Color:"), this);
    colorLabel->setTextFormat(Qt::PlainText);
    colorLabel->setBuddy(colors_);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colors_);
    colorRow->addStretch(1);
    const bool effects = flags.testFlag(DialogFlags::FontEffects);
    colorLabel->setVisible(effects);
    colors_->setVisible(effects);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(font_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    // The embedded dialog is shown with this one, not on its own.
    font_->setVisible(true);
}

void FontColorDialog::nameFontDialogParts() {
    // Qt's dialog labels its boxes only on screen; assistive tools find them by these names.
    static const char* const names[] = {"Font", "Font style", "Size"};
    const QList<QLineEdit*> edits = font_->findChildren<QLineEdit*>();
    const QList<QListView*> lists = font_->findChildren<QListView*>();
    for (int i = 0; i < 3; ++i) {
        const QString name = QString::fromLatin1(names[i]);
        if (i < edits.size() && edits[i]->accessibleName().isEmpty())
            edits[i]->setAccessibleName(name);
        if (i < lists.size() && lists[i]->accessibleName().isEmpty())
            lists[i]->setAccessibleName(name);
    }
}

void FontColorDialog::selectColor(quint32 color) {
    const int listed = colors_->findData(color);
    if (listed >= 0) {
        colors_->setCurrentIndex(listed);
        return;
    }
    // A colour from elsewhere stays what it is unless the user picks another.
    colors_->addItem(swatch(Colors::toQColor(color)), QStringLiteral("Custom"), color);
    colors_->setCurrentIndex(colors_->count() - 1);
}

FontChoice FontColorDialog::choice() const {
    const QFont chosen = font_->currentFont();
    const QVariant color = colors_->currentData();
    const bool familyKept = givenNoName_ && chosen.family() == shownFamily_;
    return FontChoice{familyKept ? QString() : FontFamilies::plainName(chosen.family()),
                      chosen.pointSizeF(),
                      chosen.bold(),
                      chosen.italic(),
                      chosen.underline(),
                      chosen.strikeOut(),
                      color.isValid() ? color.value<quint32>() : initialColor_};
}
