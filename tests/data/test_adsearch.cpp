// Finding ads: what matches, and where a search goes from the current ad.

#include "data/AdList.h"
#include "data/AdSearch.h"

#include <QTest>

#include "TestFiles.h"

using namespace Qt::StringLiterals;
using namespace TestFiles;

namespace {

AdList listOf(const QStringList &lines)
{
    return AdList::fromFileBytes(adsFileBytes(lines));
}

const QStringList kAds = {
    u"1|Сдам комнату|Недвижимость|"_s,      // 0
    u"2|Продам велосипед|Разное|"_s,        // 1
    u"3|Сдам гараж|Недвижимость|"_s,        // 2
    u"1|Ищу работу|Работа|"_s,              // 3
    u"2|Сдам дачу на лето|Недвижимость|"_s, // 4
};

} // namespace

Q_DECLARE_METATYPE(AdList::Column)
Q_DECLARE_METATYPE(AdSearch::Direction)

class TestAdSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matching_data();
    void matching();
    void everyLetterMatchesItsOtherCase();
    void find_data();
    void find();
    void emptyList();
};

void TestAdSearch::matching_data()
{
    QTest::addColumn<QString>("ad");
    QTest::addColumn<QString>("query");
    QTest::addColumn<AdList::Column>("column"); // ColumnCount: no match

    const auto none = AdList::ColumnCount;
    QTest::addRow("same case") << u"1|Сдам комнату|Разное|"_s << u"комнату"_s << AdList::Text;
    QTest::addRow("capitals in the ad") << u"1|СДАМ КОМНАТУ|Разное|"_s << u"комнату"_s << AdList::Text;
    QTest::addRow("capitals in the query")
        << u"1|сдам комнату|Разное|"_s << u"Сдам Комнату"_s << AdList::Text;
    QTest::addRow("latin letters") << u"1|Продам BMW X5|Авто|"_s << u"bmw x5"_s << AdList::Text;
    QTest::addRow("ё in the ad") << u"1|Ёлки живые, всё для праздника|Разное|"_s << u"елки живые, все"_s
                                 << AdList::Text;
    QTest::addRow("ё in the query") << u"1|Елки живые|Разное|"_s << u"ЁЛКИ"_s << AdList::Text;
    QTest::addRow("ё in both") << u"1|Тёплый гараж|Разное|"_s << u"тёплый"_s << AdList::Text;
    QTest::addRow("phone with hyphens")
        << u"1|Звонить 2-34-56-7 вечером|Разное|"_s << u"234567"_s << AdList::Text;
    QTest::addRow("phone with brackets and spaces")
        << u"1|Тел. 8 (812) 234 56 78|Разное|"_s << u"88122345678"_s << AdList::Text;
    QTest::addRow("phone with dashes") << u"1|Тел. 2–34—56|Разное|"_s << u"23456"_s << AdList::Text;
    QTest::addRow("phone with a no-break space")
        << u"1|Тел. 234\u00A056|Разное|"_s << u"23456"_s << AdList::Text;
    QTest::addRow("query written with separators")
        << u"1|Тел. 88122345678|Разное|"_s << u"8 (812) 234-56-78"_s << AdList::Text;
    QTest::addRow("both written differently") << u"1|Тел. 23-45-67|Разное|"_s << u"234 567"_s << AdList::Text;
    QTest::addRow("part of a phone") << u"1|Тел. 8-912-345-67-89|Разное|"_s << u"234567"_s << AdList::Text;
    QTest::addRow("query with text and digits")
        << u"1|Звонить: тел. 2-34-56|Разное|"_s << u"тел. 23456"_s << AdList::Text;
    QTest::addRow("a letter between digits") << u"1|Дом 2а34|Разное|"_s << u"234"_s << none;
    QTest::addRow("a full stop between digits") << u"1|Тел. 2.34.56|Разное|"_s << u"23456"_s << none;
    QTest::addRow("phone cut short") << u"1|Тел. 2-34-5|Разное|"_s << u"234567"_s << none;
    QTest::addRow("hyphen between letters kept") << u"1|Сдам ком-нату|Разное|"_s << u"комнату"_s << none;
    QTest::addRow("separator before the query's digits kept")
        << u"1|Тел. 8812234|Разное|"_s << u"(812)"_s << none;
    QTest::addRow("separator before the ad's digits literal")
        << u"1|Тел. 8 (812) 234|Разное|"_s << u"(812)"_s << AdList::Text;
    QTest::addRow("spaces between words count") << u"1|Сдам  комнату|Разное|"_s << u"сдам комнату"_s << none;
    QTest::addRow("in the rubric") << u"1|Продам велосипед|Разное|"_s << u"разн"_s << AdList::Rubric;
    QTest::addRow("phone in the rubric") << u"1|Продам|Тел. 2-34|"_s << u"234"_s << AdList::Rubric;
    QTest::addRow("text before rubric") << u"1|Разное всякое|Разное|"_s << u"разное"_s << AdList::Text;
    QTest::addRow("runs not searched") << u"12|Продам велосипед|Разное|"_s << u"12"_s << none;
    QTest::addRow("not across text and rubric")
        << u"1|Продам велосипед|Разное|"_s << u"велосипедразное"_s << none;
    QTest::addRow("not across runs and text") << u"12|34 дома|Разное|"_s << u"1234"_s << none;
    QTest::addRow("longer than the field") << u"1|Дом|Разное|"_s << u"Дом с садом"_s << none;
    QTest::addRow("at the very end") << u"1|Продам дом|Разное|"_s << u"дом"_s << AdList::Text;
    QTest::addRow("not there") << u"1|Продам велосипед|Разное|"_s << u"самолёт"_s << none;
    QTest::addRow("no Windows-1251 byte") << u"1|Продам → велосипед|Разное|"_s << u"→"_s << none;
    QTest::addRow("empty query") << u"1|Продам велосипед|Разное|"_s << QString() << none;
}

void TestAdSearch::matching()
{
    QFETCH(QString, ad);
    QFETCH(QString, query);
    QFETCH(AdList::Column, column);

    const AdList ads = listOf({ad});
    const AdSearch search(query);
    QCOMPARE(search.matchIn(ads, 0), column);
    const AdSearch::Match found = search.find(ads, -1, AdSearch::Forward);
    QCOMPARE(found.count, column == AdList::ColumnCount ? 0 : 1);
    if (found.found())
        QCOMPARE(found.column, column);
}

void TestAdSearch::everyLetterMatchesItsOtherCase()
{
    // Every Cyrillic and Latin letter of the code page, capital in the ad and
    // small in the query and the other way round.
    const QString capitals = u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЂЃЉЊЌЋЏЎЈҐЄЇІЅABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
    for (const QChar capital : capitals) {
        const QChar small = capital == u'Ё' ? QChar(u'е') : capital.toLower();
        const AdList ads = listOf({u"1|x"_s + capital + u"y|z|"_s, u"1|x"_s + small + u"y|z|"_s});
        for (const QChar letter : {capital, small}) {
            const AdSearch search{QString(letter)};
            QVERIFY2(search.matchIn(ads, 0) == AdList::Text, qPrintable(QString(letter)));
            QVERIFY2(search.matchIn(ads, 1) == AdList::Text, qPrintable(QString(letter)));
        }
    }
}

void TestAdSearch::find_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("current");
    QTest::addColumn<AdSearch::Direction>("direction");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("wrapped");
    QTest::addColumn<int>("count");

    const auto fwd = AdSearch::Forward;
    const auto back = AdSearch::Backward;
    // "сдам" matches ads 0, 2 and 4.
    QTest::addRow("forward, no current ad") << u"сдам"_s << -1 << fwd << 0 << false << 3;
    QTest::addRow("forward from a match") << u"сдам"_s << 0 << fwd << 2 << false << 3;
    QTest::addRow("forward from another ad") << u"сдам"_s << 3 << fwd << 4 << false << 3;
    QTest::addRow("forward past the end") << u"сдам"_s << 4 << fwd << 0 << true << 3;
    QTest::addRow("backward, no current ad") << u"сдам"_s << -1 << back << 4 << false << 3;
    QTest::addRow("backward from a match") << u"сдам"_s << 4 << back << 2 << false << 3;
    QTest::addRow("backward from another ad") << u"сдам"_s << 1 << back << 0 << false << 3;
    QTest::addRow("backward past the start") << u"сдам"_s << 0 << back << 4 << true << 3;
    QTest::addRow("only the current ad, forward") << u"велосипед"_s << 1 << fwd << 1 << true << 1;
    QTest::addRow("only the current ad, backward") << u"велосипед"_s << 1 << back << 1 << true << 1;
    QTest::addRow("nothing") << u"самолёт"_s << 2 << fwd << -1 << false << 0;
}

void TestAdSearch::find()
{
    QFETCH(QString, query);
    QFETCH(int, current);
    QFETCH(AdSearch::Direction, direction);
    QFETCH(int, index);
    QFETCH(bool, wrapped);
    QFETCH(int, count);

    const AdSearch::Match found = AdSearch(query).find(listOf(kAds), current, direction);
    QCOMPARE(found.index, index);
    QCOMPARE(found.found(), index >= 0);
    QCOMPARE(found.wrapped, wrapped);
    QCOMPARE(found.count, count);
}

void TestAdSearch::emptyList()
{
    for (const auto direction : {AdSearch::Forward, AdSearch::Backward}) {
        const AdSearch::Match found = AdSearch(u"сдам"_s).find(AdList(), -1, direction);
        QVERIFY(!found.found());
        QCOMPARE(found.count, 0);
    }
}

QTEST_GUILESS_MAIN(TestAdSearch)
#include "test_adsearch.moc"
