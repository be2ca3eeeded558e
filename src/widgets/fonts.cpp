#include "widgets/fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace kirano {

namespace {

QStringList families(const char16_t *windowsName, const char *here, const char *fallback) {
    return QStringList() << QString::fromUtf16(windowsName) << QString::fromLatin1(here)
                         << QString::fromLatin1(fallback);
}

} // namespace

// The Windows names come first so the program looks the same where they
// exist; IPA and Noto fonts stand in for them here.
QFont windowFont() {
    QFont font;
    font.setFamilies(families(u"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"));
    font.setPixelSize(12);
    return font;
}

QFont fixedFont() {
    QFont font;
    font.setFamilies(families(u"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    return font;
}

int rowHeight(const QFont &font) {
    return QFontMetrics(font).lineSpacing() + 2;
}

} // namespace kirano
