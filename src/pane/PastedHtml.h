#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringView>

// Markup from the clipboard made safe to give Qt's HTML reader, in one pass over it. Qt's reader
// takes time in the square of how deeply elements nest, and its layout twice the time for each
// table nested in another, so elements nested deeper than the limits lose their tags (never their
// text), as do table cells beyond the limits: a row's cells beyond the last one kept join it, as
// the RTF reader joins them, and a table that would pass a limit is read as its text, its rows as
// paragraphs (short ones sharing one). The reader follows the structure Qt's reader builds, tag by
// tag, so that what Qt nests is what is counted. Style sheets are kept only as far as their rules
// times the elements they apply to stay affordable; attributes longer than any real one are
// dropped. Pictures the markup carries as data: URLs are decoded here, within a budget of pixels,
// and named `pictureName(k)`.
namespace PastedHtml {

// How deep elements nest, in all.
constexpr int maxDepth = 64;
// How deep tables nest: each level doubles the time Qt's layout takes over the text inside.
constexpr int maxTableDepth = 3;
// Cells in all tables together: Qt lays out a thousand in about a tenth of a second, and with a
// table it lays out the whole document. Markup with more cells is read without tables.
constexpr int maxCells = 4096;
// An attribute longer than this is dropped.
constexpr qsizetype maxAttribute = 64 * 1024;
// Rules in style sheets times the elements they are matched against.
constexpr qint64 maxRuleMatches = 10'000'000;
// Items of one list: Qt takes time in the square of a list's length.
constexpr int maxListItems = 32;
// Pixels of all the pictures decoded from data: URLs.
constexpr qint64 maxPicturePixels = 16 * 1024 * 1024;

struct Bounded {
    QString html;
    // The pictures the markup carried, in the order `pictureName` numbers them; a null image
    // for one that could not be shown.
    QList<QImage> pictures;
    // Whether a list was cut into lists of `maxListItems`; each part starts right after the
    // last item of the one before.
    bool listsSplit = false;
};

Bounded bound(QStringView html);

// The name the bounded markup gives the `index`th picture it carried.
QString pictureName(qsizetype index);
// Whether `name` is one of those, and which.
qsizetype pictureIndex(const QString& name);

} // namespace PastedHtml
