#include "report/base/frxRes.h"

#include "platform/errors.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

void load(TfrxResources &table, const QByteArray &document)
{
    QByteArray data = document;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    table.LoadFromStream(buffer);
}

} // namespace

TEST(frxRes, missingNameYieldsTheName)
{
    TfrxResources table;
    EXPECT_EQ(table.Get(u"clPageOf"_s), u"clPageOf"_s);
    EXPECT_EQ(table.Get(u"!x"_s), u"!x"_s);
    // Keys the engine asks for that the built-in table deliberately lacks.
    for (const QString &name : {u"prDupl"_s, u"prInvProp"_s, u"obText"_s, u"obBand"_s, u"obRepPage"_s,
                                u"obDataPage"_s, u"obReport"_s, u"obSubRep"_s, u"Invalid password"_s})
        EXPECT_EQ(frxGet(name), name);
    EXPECT_EQ(frxGet(5000), u"5000"_s);
    EXPECT_EQ(frxGet(5001), u"5001"_s);
}

TEST(frxRes, documentEntriesLaterReplaceEarlierAndLoseTheirMark)
{
    TfrxResources table;
    table.Set(u"keep"_s, u"保留"_s);
    load(table, R"(<?xml version="1.0" encoding="utf-8"?>
<Resources CodePage="936">
  <StrRes Name="1" Text="好"/>
  <StrRes Name="mark" Text="!打印 &amp; 预览"/>
  <StrRes Name="1" Text="确定"/>
  <StrRes Name="empty" Text=""/>
  <StrRes Text="nameless"/>
</Resources>)");
    EXPECT_EQ(table.Get(u"1"_s), u"确定"_s);
    EXPECT_EQ(table.Get(u"mark"_s), u"打印 & 预览"_s);
    EXPECT_EQ(table.Get(u"empty"_s), QString());
    EXPECT_EQ(table.Get(u"keep"_s), u"保留"_s);
    EXPECT_EQ(table.Count(), 4);

    load(table, R"(<Resources CodePage="936"><StrRes Name="keep" Text="Keep"/></Resources>)");
    EXPECT_EQ(table.Get(u"keep"_s), u"Keep"_s);
}

TEST(frxRes, malformedDocumentRaisesAndAddsNothing)
{
    const QByteArray broken[] = {
        "",
        "<Resources CodePage=\"936\"><StrRes Name=\"a\" Text=\"x\"/>",
        "<Resources><StrRes Name=\"a\" Text=\"x\"></Resources>",
        "<Strings><StrRes Name=\"a\" Text=\"x\"/></Strings>",
        "<Resources><StrRes Name=\"a\" Text=\"x\"/></Resources><Resources/>",
    };
    for (const QByteArray &document : broken) {
        TfrxResources table;
        EXPECT_THROW(load(table, document), platform::FileError) << document.constData();
        EXPECT_EQ(table.Get(u"a"_s), u"a"_s) << document.constData();
    }
}

TEST(frxRes, addStringsTakesNameEqualsText)
{
    TfrxResources table;
    table.AddStrings({u"clClose=关闭"_s, u"formula=a=b"_s, u"no separator"_s, u"clClose=!Close"_s});
    EXPECT_EQ(table.Get(u"clClose"_s), u"Close"_s);
    EXPECT_EQ(table.Get(u"formula"_s), u"a=b"_s);
    EXPECT_EQ(table.Count(), 2);
}

TEST(frxRes, builtInTableHoldsTheEngineTexts)
{
    // Preview window
    EXPECT_EQ(frxGet(100), u"预览"_s);
    EXPECT_EQ(frxGet(129), u"报表大纲"_s);
    EXPECT_EQ(frxGet(151), u"导出PDF格式"_s);
    EXPECT_EQ(frxGet(u"zmWholePage"_s), u"整页"_s);
    EXPECT_EQ(frxGet(u"clClose"_s), u"关闭(&X)"_s);
    EXPECT_EQ(frxGet(u"clLoading"_s), u"载入文件..."_s);
    // Print dialog
    EXPECT_EQ(frxGet(9), u"输入页数/文件范围，并以逗号分隔(例如:1,3,5-12)"_s);
    EXPECT_EQ(frxGet(204), u"自动分页(&T)"_s);
    EXPECT_EQ(frxGet(u"poReverse"_s), u"反转 (9-1)"_s);
    EXPECT_EQ(frxGet(u"pmScale"_s), u"比列"_s);
    EXPECT_EQ(frxGet(u"dupSimpl"_s), u"Simplex"_s);
    EXPECT_EQ(frxGet(u"clNoPrinters"_s), u"在你的系统没有安装打印机"_s);
    // Page settings, search, shared buttons
    EXPECT_EQ(frxGet(413), u"套用本页"_s);
    EXPECT_EQ(frxGet(u"uInch"_s), u"in"_s);
    EXPECT_EQ(frxGet(301), u"寻找目标:"_s);
    EXPECT_EQ(frxGet(1), u"确定"_s);
    EXPECT_EQ(frxGet(2), u"取消"_s);
    // Printers, messages
    EXPECT_EQ(frxGet(u"prDefault"_s), u"预设"_s);
    EXPECT_EQ(frxGet(u"prCustom"_s), u"自定"_s);
    EXPECT_EQ(frxGet(u"mbError"_s), u"错误"_s);
    EXPECT_EQ(frxGet(u"enUnconnHeader"_s), u"未连接至表首"_s);
    EXPECT_EQ(QString::asprintf(frxGet(u"prPrinting"_s).toUtf8().constData(), 1), u"打印页1"_s);
}

TEST(frxRes, chosenTextsCarryTheirPlaceholders)
{
    const auto count = [](const QString &text, const QString &placeholder) {
        return text.count(placeholder);
    };
    EXPECT_TRUE(frxGet(u"clPageOf"_s).endsWith(u"%d / %d"_s));
    EXPECT_TRUE(frxGet(u"prRunning"_s).endsWith(u" %d"_s));
    for (const QString &name : {u"prRunningFirst"_s, u"prPrinting"_s, u"prExporting"_s}) {
        EXPECT_TRUE(frxGet(name).endsWith(u"%d"_s)) << name.toStdString();
        EXPECT_EQ(count(frxGet(name), u"%"_s), 1) << name.toStdString();
    }
    EXPECT_EQ(count(frxGet(u"dbNotConn"_s), u"%s"_s), 1);
    EXPECT_EQ(count(frxGet(u"clDSNotExist"_s), u"%s"_s), 1);
    EXPECT_EQ(count(frxGet(u"clScrError"_s), u"%s"_s), 2);
    EXPECT_TRUE(frxGet(u"clScrError"_s).startsWith(u"Script"_s));
    EXPECT_TRUE(frxGet(u"enBandPos"_s).startsWith(u"Band"_s));
    EXPECT_EQ(count(frxGet(u"clFirstPass"_s), u"%"_s), 0);
    EXPECT_TRUE(frxGet(209).contains(u"(&P)"_s));
    EXPECT_TRUE(frxGet(210).contains(u"(&L)"_s));
    // Every text chosen for this table is Chinese, not a left-over key.
    for (const QString &name :
         {u"130"_s, u"132"_s, u"201"_s, u"202"_s, u"305"_s, u"405"_s, u"410"_s, u"414"_s, u"ppAll"_s,
          u"clErrors"_s, u"xrCantFindClass"_s, u"dbFldNotFound"_s, u"clExprError"_s, u"clUnknownVar"_s,
          u"enUnconnGroup"_s, u"enUnconnGFooter"_s})
        EXPECT_TRUE(frxGet(name).contains(QRegularExpression(u"\\p{Han}"_s))) << name.toStdString();
}

TEST(frxRes, builtInDocumentNamesEachEntryOnce)
{
    QFile file(u":/frx/frxRes.xml"_s);
    frxResources();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&file);
    QStringList names;
    while (reader.readNextStartElement()) {
        if (reader.name() == u"Resources") {
            EXPECT_EQ(reader.attributes().value(QLatin1StringView("CodePage")), u"936");
            continue;
        }
        names.append(reader.attributes().value(QLatin1StringView("Name")).toString());
        reader.skipCurrentElement();
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    names.sort();
    EXPECT_EQ(names.size(), frxResources().Count());
    EXPECT_EQ(names.removeDuplicates(), 0);
}
