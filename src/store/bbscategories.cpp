#include "store/bbscategories.h"
#include "text/sjis.h"

namespace kirano {

const std::array<BbsCategory, 14> kBbsCategories{{
    {u"仲間募集", "2", "0"},
    {u"文通コーナー", "3", "0"},
    {u"あげます／譲ってください", "4", "0"},
    {u"売ります-ワープロ", "5", "1"},
    {u"売ります-パソコン (富士通)", "5", "2"},
    {u"売ります-パソコン (ＮＥＣ)", "5", "3"},
    {u"売ります-パソコン (アップル)", "5", "4"},
    {u"売ります-パソコン (ＩＢＭ系)", "5", "5"},
    {u"売ります-パソコン (その他)", "5", "6"},
    {u"売ります-その他", "5", "7"},
    {u"買います", "6", "0"},
    {u"教えてください／教えます", "7", "0"},
    {u"スピリット (こころ) のコーナー", "8", "0"},
    {u"ふるさとボード", "9", "0"},
}};

QList<QByteArray> bbsCategoryRows() {
    QList<QByteArray> rows;
    for (const BbsCategory &category : kBbsCategories)
        rows.append(text::bytesOf(category.name));
    return rows;
}

} // namespace kirano
