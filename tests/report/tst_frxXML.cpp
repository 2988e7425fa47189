#include "report/xml/frxXML.h"

#include "platform/codepage.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <vector>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;
using Reason = TfrxInvalidXMLException::Reason;

namespace {

const QByteArray declaration = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";

void load(TfrxXMLDocument &document, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    document.LoadFromStream(buffer);
}

QByteArray save(TfrxXMLDocument &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.SaveToStream(buffer);
    return buffer.data();
}

// The failure of loading bytes, or nothing when they load.
std::optional<TfrxInvalidXMLException> loadError(const QByteArray &bytes)
{
    TfrxXMLDocument document;
    try {
        load(document, bytes);
    } catch (const TfrxInvalidXMLException &error) {
        return error;
    }
    return std::nullopt;
}

// The tree as one line per element ("  name|text"), to compare documents.
QString dump(const TfrxXMLItem *item, int depth = 0)
{
    QString out = QString(depth * 2, u' ') + item->Name() + u'|' + item->Text() + u'\n';
    for (int i = 0; i < item->Count(); ++i)
        out += dump(item->Items(i), depth + 1);
    return out;
}

// A random-access device whose content starts after `gap` bytes of zeros that are never stored:
// positions beyond 4 GiB without a file of that size.
class GapDevice : public QIODevice {
public:
    GapDevice(qint64 gap, QByteArray content) : m_gap(gap), m_content(std::move(content)) {}
    qint64 size() const override { return m_gap + m_content.size(); }
    bool isSequential() const override { return false; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 at = pos();
        if (at >= size()) return 0;
        const qint64 count = std::min(maxSize, size() - at);
        for (qint64 i = 0; i < count; ++i)
            data[i] = at + i < m_gap ? '\0' : m_content[at + i - m_gap];
        m_largestRead = std::max(m_largestRead, maxSize);
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

public:
    qint64 m_largestRead = 0;

private:
    qint64 m_gap;
    QByteArray m_content;
};

// Records the size of every write.
class RecordingBuffer : public QBuffer {
public:
    QList<qint64> writes;

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        writes.append(size);
        return QBuffer::writeData(data, size);
    }
};

} // namespace

TEST(frxXML, escapeReplacesTheSixCharactersOnly)
{
    EXPECT_EQ(xmlEscape(u"a\"b"_s), u"a&#34;b"_s);
    EXPECT_EQ(xmlEscape(u"\r\n"_s), u"&#13;&#10;"_s);
    EXPECT_EQ(xmlEscape(u"&amp;"_s), u"&#38;amp;"_s);
    EXPECT_EQ(xmlEscape(u"&quot;"_s), u"&#34;"_s);
    EXPECT_EQ(xmlEscape(u"<王>&'"_s), u"&#60;王&#62;&#38;'"_s);
    EXPECT_EQ(xmlEscape(u"&quot"_s), u"&#38;quot"_s);
    // Long texts take the other path; the result is the same.
    const QString longText = QString(40, u'x') + u"&quot;\"\n"_s;
    EXPECT_EQ(xmlEscape(longText), QString(40, u'x') + u"&#34;&#34;&#10;"_s);
}

TEST(frxXML, unescapeReplacesReferencesAndFourEntities)
{
    EXPECT_EQ(xmlUnescape(u"&#34;&amp;&lt;&gt;&quot;"_s), u"\"&<>\""_s);
    EXPECT_EQ(xmlUnescape(u"&apos;"_s), u"&apos;"_s);
    EXPECT_EQ(xmlUnescape(u"A&#20013;"_s), u"A中"_s);
    EXPECT_EQ(xmlUnescape(u"王&#13;&#10;小明"_s), u"王\r\n小明"_s);
    // Without a closing ";" the rest stays as it is; a lone "&" at the end too.
    EXPECT_EQ(xmlUnescape(u"a&#38;b&#12 c"_s), u"a&b&#12 c"_s);
    EXPECT_EQ(xmlUnescape(u"a&"_s), u"a&"_s);
    EXPECT_EQ(xmlUnescape(u"a&#"_s), u"a&#"_s);
    EXPECT_EQ(xmlUnescape(u"&#128512;"_s), u"😀"_s);
    for (const QString &text :
         {u"&#;"_s, u"&#x41;"_s, u"&#12a;"_s, u"&#-1;"_s, u"&#1114112;"_s, u"&#99999999999999999999;"_s}) {
        EXPECT_THROW(xmlUnescape(text), platform::ConvertError) << text.toStdString();
    }
}

TEST(frxXML, escapeRoundTripsAnyText)
{
    const QString text = u"\"a\"&b<c>\r\n&quot;d&#34;王小明 &amp"_s;
    // &quot; itself is the one text that does not come back: it is written as a double quote.
    EXPECT_EQ(xmlUnescape(xmlEscape(text)), u"\"a\"&b<c>\r\n\"d&#34;王小明 &amp"_s);
    EXPECT_EQ(xmlUnescape(xmlEscape(u"&#13;x"_s)), u"&#13;x"_s);
}

TEST(frxXML, propMatchesWholeNamesIgnoringCase)
{
    TfrxXMLItem item;
    item.SetText(uR"(DataSetName="x" Name="y" Font.Name="@楷体" Text="王&#13;&#10;小明" e="")"_s);
    EXPECT_EQ(item.Prop(u"Name"), u"y"_s);
    EXPECT_EQ(item.Prop(u"NAME"), u"y"_s);
    EXPECT_EQ(item.Prop(u"datasetname"), u"x"_s);
    EXPECT_EQ(item.Prop(u"Font.Name"), u"@楷体"_s);
    EXPECT_EQ(item.Prop(u"Text"), u"王\r\n小明"_s);
    EXPECT_EQ(item.Prop(u"e"), QString());
    EXPECT_EQ(item.Prop(u"Nam"), QString());
    EXPECT_EQ(item.Prop(u"Left"), QString());
    item.SetText(uR"(Name="m0)"_s); // no closing quote: the value runs to the end
    EXPECT_EQ(item.Prop(u"Name"), u"m0"_s);
    item.SetText(uR"(Text="&#1a;")"_s);
    EXPECT_THROW(item.Prop(u"Text"), platform::ConvertError);
}

TEST(frxXML, setPropReplacesInPlaceOrAppends)
{
    TfrxXMLItem item;
    item.SetText(uR"(Name="m0" Top="1")"_s);
    item.SetProp(u"Left", u"5"_s);
    EXPECT_EQ(item.Text(), uR"(Name="m0" Top="1" Left="5")"_s);
    item.SetProp(u"top", u"2 \"王\""_s);
    EXPECT_EQ(item.Text(), uR"(Name="m0" top="2 &#34;王&#34;" Left="5")"_s);
    item.SetProp(u"NAME", u"m1"_s);
    EXPECT_EQ(item.Text(), uR"(NAME="m1" top="2 &#34;王&#34;" Left="5")"_s);
    EXPECT_EQ(item.Prop(u"Top"), u"2 \"王\""_s);

    TfrxXMLItem empty;
    empty.SetProp(u"a", u"1"_s);
    EXPECT_EQ(empty.Text(), uR"(a="1")"_s);
    empty.SetText(uR"(a="1" )"_s); // already ends in a space: none is added
    empty.SetProp(u"b", u"2"_s);
    EXPECT_EQ(empty.Text(), uR"(a="1" b="2")"_s);
    // DataSetName is not the attribute Name.
    empty.SetText(uR"(DataSetName="x")"_s);
    empty.SetProp(u"Name", u"y"_s);
    EXPECT_EQ(empty.Text(), uR"(DataSetName="x" Name="y")"_s);
}

TEST(frxXML, itemTreeOperations)
{
    TfrxXMLItem root;
    TfrxXMLItem *a = root.Add();
    a->SetName(u"Page0"_s);
    TfrxXMLItem *b = root.FindOrAdd(u"b"_s);
    EXPECT_EQ(root.FindOrAdd(u"B"_s), b);
    EXPECT_EQ(root.Find(u"PAGE0"), 0);
    EXPECT_EQ(root.Find(u"c"), -1);
    EXPECT_EQ(root.IndexOf(b), 1);
    EXPECT_EQ(b->Parent(), &root);

    // AddItem takes the element from its previous parent.
    TfrxXMLItem *c = a->Add();
    root.AddItem(c);
    EXPECT_EQ(a->Count(), 0);
    EXPECT_EQ(root.Count(), 3);
    EXPECT_EQ(c->Parent(), &root);
    root.InsertItem(0, c);
    EXPECT_EQ(root.IndexOf(c), 0);
    EXPECT_EQ(root.IndexOf(a), 1);
    EXPECT_THROW(root.InsertItem(3, c), platform::Error);
    EXPECT_EQ(root.Count(), 3);
    EXPECT_THROW(root.Items(3), platform::Error);
    EXPECT_THROW(root.Items(-1), platform::Error);

    // Cycles are refused.
    TfrxXMLItem *deep = b->Add()->Add();
    EXPECT_THROW(deep->AddItem(b), platform::Error);
    EXPECT_THROW(b->AddItem(b), platform::Error);
    EXPECT_EQ(b->Count(), 1);

    // Destroying an element removes it from its parent.
    delete a;
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.IndexOf(b), 1);

    // Clear marks an unloadable element not loaded, others stay loaded.
    b->Clear();
    EXPECT_EQ(b->Count(), 0);
    EXPECT_TRUE(b->Loaded());
    b->SetUnloadable(true);
    b->Clear();
    EXPECT_FALSE(b->Loaded());

    // A user value belongs to its element alone and goes with it; the address may be reused.
    int value = 0, other = 0;
    TfrxXMLItem *d = root.Add();
    TfrxXMLItem *e = root.Add();
    EXPECT_EQ(d->UserData(), nullptr);
    d->SetUserData(&value);
    e->SetUserData(&other);
    EXPECT_EQ(d->UserData(), &value);
    delete d;
    EXPECT_EQ(e->UserData(), &other);
    EXPECT_EQ(root.Add()->UserData(), nullptr);
    e->SetUserData(nullptr);
    EXPECT_EQ(e->UserData(), nullptr);

    // Children removed from the end, one by one, leave the others in order.
    TfrxXMLItem list;
    std::vector<TfrxXMLItem *> added;
    for (int i = 0; i < 40; ++i)
        added.push_back(list.Add());
    for (int i = 39; i >= 20; --i)
        delete added[size_t(i)];
    ASSERT_EQ(list.Count(), 20);
    EXPECT_EQ(list.Items(19), added[19]);
    list.InsertItem(5, added[19]);
    EXPECT_EQ(list.Items(5), added[19]);
    EXPECT_EQ(list.Items(6), added[5]);
    EXPECT_EQ(list.Items(19), added[18]);
}

TEST(frxXML, readsEmptyElementsAndCaseInsensitiveEndTags)
{
    for (const QByteArray &body : {"<a/>"_ba, R"(<a x="1"/>)"_ba, "<a></a>"_ba, "<a />"_ba}) {
        TfrxXMLDocument document;
        load(document, declaration + body);
        EXPECT_EQ(document.RootItem()->Name(), u"a"_s) << body.constData();
        EXPECT_EQ(document.RootItem()->Count(), 0) << body.constData();
    }
    TfrxXMLDocument document;
    load(document, declaration + R"(<a><b x="1" /><c/ ></A>)");
    EXPECT_EQ(dump(document.RootItem()), u"a|\n  b|x=\"1\" \n  c|\n"_s);

    const auto error = loadError(declaration + "<a><b/></c>");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason(), Reason::MismatchedEndTag);
    EXPECT_EQ(error->offset(), declaration.size() + 7);
    EXPECT_EQ(error->message(), u"Invalid file format"_s);
}

TEST(frxXML, malformedInputIsInvalidWithItsPosition)
{
    struct Case {
        QByteArray bytes;
        Reason reason;
        qint64 offset;
    };
    const QList<Case> cases = {
        {"", Reason::NoDeclaration, 0},
        {"<a/>", Reason::NoDeclaration, 0},
        {"  <xml?>", Reason::NoDeclaration, 2},
        {declaration + "<a <b/>", Reason::LessThanInTag, declaration.size() + 3},
        {declaration + R"(<a x="1)", Reason::EndOfInputInTag, declaration.size() + 7},
        {declaration + "<a><!-- unterminated ->", Reason::EndOfInputInTag, declaration.size() + 23},
        {declaration + "<a></b>", Reason::MismatchedEndTag, declaration.size() + 3},
        {declaration + "<a></>", Reason::MismatchedEndTag, declaration.size() + 3},
    };
    for (const Case &c : cases) {
        const auto error = loadError(c.bytes);
        ASSERT_TRUE(error) << c.bytes.constData();
        EXPECT_EQ(error->reason(), c.reason) << c.bytes.constData();
        EXPECT_EQ(error->offset(), c.offset) << c.bytes.constData();
    }
}

TEST(frxXML, elementsReadBeforeAnErrorStay)
{
    TfrxXMLDocument document;
    EXPECT_THROW(load(document, declaration + R"(<r><a n="1"/><b><c/></d></r>)"), TfrxInvalidXMLException);
    EXPECT_EQ(dump(document.RootItem()), u"r|\n  a|n=\"1\"\n  b|\n    c|\n"_s);
}

TEST(frxXML, endOfInputClosesOpenElementsQuietly)
{
    TfrxXMLDocument document;
    load(document, declaration + R"(<r a="1"><p><m/>)");
    EXPECT_EQ(dump(document.RootItem()), u"r|a=\"1\"\n  p|\n    m|\n"_s);
    load(document, declaration);
    EXPECT_EQ(document.RootItem()->Name(), QString());
    EXPECT_EQ(document.RootItem()->Count(), 0);
}

TEST(frxXML, skipsByteOrderMarkTextAndComments)
{
    TfrxXMLDocument document;
    load(document, "\xEF\xBB\xBF" + declaration +
                       "\r\n<!-- a <comment> - -- -->text<r>\n <!----><a/>more text<!-- --- -->"
                       "<!-- ---- --><b/></r>");
    EXPECT_EQ(dump(document.RootItem()), u"r|\n  a|\n  b|\n"_s);
    EXPECT_FALSE(document.LegacyEncoding());

    // "<!-->" does not end the comment it opens; a third "-" restarts the count.
    load(document, declaration + "<r><!--><a/>--><!-- x ---><b/>--><c/></r>");
    EXPECT_EQ(dump(document.RootItem()), u"r|\n  c|\n"_s);
}

TEST(frxXML, oldFormatDeclarationSelectsTheSystemCodePage)
{
    TfrxXMLDocument document;
    const QByteArray name = platform::toSystemCodePage(u"王小明"_s);
    load(document, R"(<?xml version="1.0"?><r Text=")" + name + R"("/>)");
    EXPECT_TRUE(document.LegacyEncoding());
    EXPECT_EQ(document.RootItem()->Prop(u"Text"), u"王小明"_s);

    load(document, R"(<?xml version='1.0' encoding="gbk"?><r/>)");
    EXPECT_TRUE(document.LegacyEncoding());
    load(document, R"(<?xml version="1.0" standalone="yes"?><r Text="王"/>)");
    EXPECT_FALSE(document.LegacyEncoding());
    EXPECT_EQ(document.RootItem()->Prop(u"Text"), u"王"_s);
    load(document, R"(<?xml encoding="utf-8"?><r/>)");
    EXPECT_FALSE(document.LegacyEncoding());
}

TEST(frxXML, indentedOutputPutsEveryTagOnItsOwnLine)
{
    TfrxXMLDocument document;
    document.SetIndented(true);
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"TfrxReport"_s);
    root->SetText(uR"(Version="4.7.61")"_s);
    root->FindOrAdd(u"TfrxDataPage"_s)->SetText(uR"(Name="Data" Width="1000")"_s);
    EXPECT_EQ(save(document), declaration + "\r\n" + R"(<TfrxReport Version="4.7.61">)" + "\r\n" +
                                  R"(  <TfrxDataPage Name="Data" Width="1000"/>)" + "\r\n" +
                                  "</TfrxReport>\r\n");

    document.SetIndented(false);
    TfrxXMLItem *page = root->Add();
    page->SetName(u"TfrxReportPage"_s);
    page->SetText(uR"( Name="Page1")"_s); // a leading space is not doubled
    page->Add()->SetName(u"TfrxMasterData"_s);
    EXPECT_EQ(save(document), declaration + R"(<TfrxReport Version="4.7.61">)" +
                                  R"(<TfrxDataPage Name="Data" Width="1000"/>)" +
                                  R"(<TfrxReportPage Name="Page1"><TfrxMasterData/></TfrxReportPage>)" +
                                  "</TfrxReport>");
}

TEST(frxXML, chineseTextRoundTripsThroughUtf8)
{
    TfrxXMLDocument document;
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"preparedreport"_s);
    TfrxXMLItem *memo = root->Add();
    memo->SetName(u"m1"_s);
    memo->SetProp(u"Font.Name", u"@楷体"_s);
    memo->SetProp(u"Text", u"王\r\n小明 \"婚礼\" <考学送行> & 😀"_s);
    const QByteArray bytes = save(document);
    EXPECT_TRUE(bytes.contains(u"Font.Name=\"@楷体\""_s.toUtf8()));
    EXPECT_TRUE(bytes.contains(u"王&#13;&#10;小明 &#34;婚礼&#34; &#60;考学送行&#62; &#38; 😀"_s.toUtf8()));

    TfrxXMLDocument copy;
    load(copy, bytes);
    EXPECT_EQ(dump(copy.RootItem()), dump(root));
    EXPECT_EQ(copy.RootItem()->Items(0)->Prop(u"Text"), u"王\r\n小明 \"婚礼\" <考学送行> & 😀"_s);
}

TEST(frxXML, roundTripKeepsTheTreeAcrossBufferBoundaries)
{
    TfrxXMLDocument document;
    document.SetIndented(true);
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"preparedreport"_s);
    TfrxXMLItem *pages = root->FindOrAdd(u"previewpages"_s);
    for (int p = 0; p < 300; ++p) {
        TfrxXMLItem *page = pages->Add();
        page->SetName(u"page0"_s);
        TfrxXMLItem *band = page->Add();
        band->SetName(u"b1"_s);
        band->SetText(uR"(l="0" t="%1")"_s.arg(p * 302.4));
        for (int m = 1; m <= 5; ++m) {
            TfrxXMLItem *memo = band->Add();
            memo->SetName(u"m%1"_s.arg(m));
            memo->SetProp(u"Text", u"客人%1\r\n王小明"_s.arg(p));
        }
    }
    // One attribute far longer than the read buffer.
    root->FindOrAdd(u"picturecache"_s)->FindOrAdd(u"item"_s)->SetProp(u"stream", QString(20000, u'A'));

    const QByteArray first = save(document);
    TfrxXMLDocument copy;
    copy.SetIndented(true);
    load(copy, first);
    EXPECT_EQ(dump(copy.RootItem()), dump(root));
    EXPECT_EQ(save(copy), first);
}

TEST(frxXML, everyTruncatedPrefixLoadsOrFailsCleanly)
{
    const QByteArray sample =
        "\xEF\xBB\xBF" + declaration + "\r\n" +
        R"(<TfrxReport Version="4.7.61" ScriptText.Text="begin&#13;&#10;end.">)" +
        R"(<!-- comment with <tags> -->)" +
        R"(<TfrxDataPage Name="Data"/><TfrxReportPage Name="Page1" ld="0">)" +
        R"(<TfrxMasterData Name="MasterData1" DataSetName="frxdbdtst1">)" +
        u"<TfrxMemoView Name=\"m0\" Font.Name=\"@楷体\" Text=\"王&#13;&#10;小明\"/>"_s.toUtf8() +
        "</TfrxMasterData></TfrxReportPage></TfrxReport>";
    int loaded = 0;
    for (qsizetype length = 0; length <= sample.size(); ++length) {
        TfrxXMLDocument document;
        try {
            load(document, sample.first(length));
            ++loaded;
            save(document);
        } catch (const TfrxInvalidXMLException &error) {
            EXPECT_GE(error.offset(), 0);
            EXPECT_LE(error.offset(), length);
        }
    }
    EXPECT_GT(loaded, 10);
    TfrxXMLDocument document;
    load(document, sample);
    EXPECT_EQ(document.RootItem()->Items(1)->Items(0)->Items(0)->Prop(u"Text"), u"王\r\n小明"_s);
}

TEST(frxXML, deepNestingNeitherOverflowsNorFails)
{
    constexpr int depth = 300000;
    QByteArray bytes = declaration;
    bytes.reserve(declaration.size() + depth * 7);
    for (int i = 0; i < depth; ++i)
        bytes += "<a>";
    for (int i = 0; i < depth; ++i)
        bytes += "</a>";

    TfrxXMLDocument document;
    load(document, bytes);
    int levels = 0;
    for (const TfrxXMLItem *item = document.RootItem(); item->Count(); item = item->Items(0))
        ++levels;
    EXPECT_EQ(levels, depth - 1);
    EXPECT_EQ(save(document), declaration + bytes.sliced(declaration.size()).replace("<a></a>", "<a/>"));

    // Unterminated, then destroyed by the next load.
    load(document, bytes.first(declaration.size() + depth * 3));
    load(document, declaration + "<a/>");
    EXPECT_EQ(document.RootItem()->Count(), 0);
}

TEST(frxXML, markerIsDroppedWhenReadFully)
{
    TfrxXMLDocument document;
    load(document,
         declaration + R"(<r><page0 ld="0"><b1/></page0><page1 LD="0" n="1"/><p n="2" ld="0"/></r>)");
    const TfrxXMLItem *root = document.RootItem();
    // The space the marker leaves at the front is not kept: the writer would not give it back.
    EXPECT_EQ(dump(root), u"r|\n  page0|\n    b1|\n  page1|n=\"1\"\n  p|n=\"2\"\n"_s);
    for (int i = 0; i < root->Count(); ++i) {
        EXPECT_TRUE(root->Items(i)->Loaded());
        EXPECT_FALSE(root->Items(i)->Unloadable());
    }
    // Written again without the marker, so the text does not accumulate markers.
    EXPECT_EQ(save(document), declaration + R"(<r><page0><b1/></page0><page1 n="1"/><p n="2"/></r>)");
}

TEST(frxXML, whatIsReadIsWhatTheWriterGivesBack)
{
    // Odd tags the reader tolerates are read into the form that is written back unchanged: a
    // slash the marker leaves before ">" of an element with children, slashes at the end of a
    // name, spaces at the front of the attribute text, a repeated marker, a trailing space.
    const QByteArray bytes = declaration + R"(<r><a x/ ld="0"><b/></a><c// y="1"><d  ld="0" z="2" ld="0"/>)" +
                             R"(<e w="3"  ><f/></e><名 v="4"/></r>)";
    TfrxXMLDocument document;
    load(document, bytes);
    const QString expected =
        u"r|\n  a|x\n    b|\n  c|y=\"1\"\n  d|z=\"2\"\n  e|w=\"3\" \n    f|\n  名|v=\"4\"\n"_s;
    EXPECT_EQ(dump(document.RootItem()), expected);
    const QByteArray saved = save(document);
    TfrxXMLDocument copy;
    load(copy, saved);
    EXPECT_EQ(dump(copy.RootItem()), expected);
    EXPECT_EQ(save(copy), saved);

    // A name or a text that starts with a byte order mark keeps it, and a broken character at its
    // end is replaced as anywhere else.
    const QByteArray marked =
        declaration + "<r><\xEF\xBB\xBF/b/><a \xEF\xBB\xBFx=\"1\"/><\xEF\xBB\xBF\xE6/></r>";
    load(document, marked);
    const QString withMarks = u"r|\n  \uFEFF/b|\n  a|\uFEFFx=\"1\"\n  \uFEFF\uFFFD|\n"_s;
    EXPECT_EQ(dump(document.RootItem()), withMarks);
    load(copy, save(document));
    EXPECT_EQ(dump(copy.RootItem()), withMarks);

    // A stray end tag in place of the root leaves the document empty, and it is written so.
    load(document, declaration + R"(</r a="1"/>)");
    EXPECT_EQ(document.RootItem()->Name(), QString());
    EXPECT_EQ(document.RootItem()->Text(), QString());
    EXPECT_EQ(save(document), declaration);
}

TEST(frxXML, partialLoadingLeavesMarkedElementsInTheSource)
{
    const QByteArray bytes = declaration + R"(<r><page0 a="1"><b1 t="0"/></page0>)" +
                             R"(<page0 a="2" ld="0"><b1 t="1"><m1 Text="王"/></b1></page0>)" +
                             R"(<page0 ld="0" a="3"/></r>)";
    auto stream = std::make_unique<QBuffer>();
    stream->setData(bytes);
    stream->open(QIODevice::ReadOnly);
    TfrxXMLDocument document;
    document.LoadFromStream(std::move(stream), true);

    TfrxXMLItem *root = document.RootItem();
    ASSERT_EQ(root->Count(), 3);
    EXPECT_TRUE(root->Items(0)->Loaded());
    TfrxXMLItem *second = root->Items(1);
    EXPECT_FALSE(second->Loaded());
    EXPECT_TRUE(second->Unloadable());
    EXPECT_EQ(second->Count(), 0);
    EXPECT_EQ(second->Text(), uR"(a="2")"_s);
    EXPECT_EQ(second->Offset(), bytes.indexOf("</page0>") + 8);
    EXPECT_EQ(root->Items(2)->Text(), uR"(a="3")"_s);

    // Saving reads parked elements back as they are written and parks them again.
    const QByteArray saved = save(document);
    EXPECT_EQ(saved, declaration + R"(<r><page0 a="1"><b1 t="0"/></page0>)" +
                         R"(<page0 a="2" ld="0"><b1 t="1"><m1 Text="王"/></b1></page0>)" +
                         R"(<page0 a="3" ld="0"/></r>)");
    EXPECT_FALSE(second->Loaded());

    document.LoadItem(second);
    EXPECT_TRUE(second->Loaded());
    EXPECT_EQ(dump(second), u"page0|a=\"2\"\n  b1|t=\"1\"\n    m1|Text=\"王\"\n"_s);

    // Read fully, the same file has no marker left and nothing unloaded.
    TfrxXMLDocument full;
    load(full, saved);
    EXPECT_EQ(full.RootItem()->Items(1)->Text(), uR"(a="2")"_s);
    EXPECT_EQ(full.RootItem()->Items(1)->Count(), 1);
}

TEST(frxXML, parkingMovesElementsToATemporaryFileAndBack)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TfrxXMLDocument document;
    document.SetTempFolder(folder.path());
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"preparedreport"_s);
    TfrxXMLItem *pages = root->FindOrAdd(u"previewpages"_s);
    QList<QString> expected;
    for (int p = 0; p < 4; ++p) {
        TfrxXMLItem *page = pages->Add();
        page->SetName(u"page0"_s);
        page->SetUnloadable(p >= 2);
        TfrxXMLItem *band = page->Add();
        band->SetName(u"b1"_s);
        band->SetProp(u"t", QString::number(p));
        band->FindOrAdd(u"m1"_s)->SetProp(u"Text", u"客人%1"_s.arg(p));
        expected.append(dump(page));
    }
    const QByteArray before = save(document);

    document.UnloadItem(pages->Items(1)); // not unloadable: nothing happens
    EXPECT_TRUE(pages->Items(1)->Loaded());
    EXPECT_TRUE(document.TempFileName().isEmpty());

    document.UnloadItem(pages->Items(2));
    document.UnloadItem(pages->Items(3));
    const QString tempFile = document.TempFileName();
    EXPECT_EQ(QFileInfo(tempFile).absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_TRUE(QFileInfo(tempFile).fileName().startsWith(u"fr"_s));
    EXPECT_FALSE(pages->Items(2)->Loaded());
    EXPECT_EQ(pages->Items(2)->Count(), 0);
    EXPECT_EQ(pages->Items(2)->Offset(), 0);
    EXPECT_GT(pages->Items(3)->Offset(), 0);

    EXPECT_EQ(save(document), before);
    document.LoadItem(pages->Items(3));
    EXPECT_EQ(dump(pages->Items(3)), expected[3]);
    EXPECT_FALSE(pages->Items(2)->Loaded());

    // Parked again after a change: the new state is what comes back.
    pages->Items(3)->Items(0)->SetProp(u"t", u"9"_s);
    document.UnloadItem(pages->Items(3));
    document.LoadItem(pages->Items(2));
    document.LoadItem(pages->Items(3));
    EXPECT_EQ(dump(pages->Items(2)), expected[2]);
    EXPECT_EQ(pages->Items(3)->Items(0)->Prop(u"t"), u"9"_s);

    document.Clear();
    EXPECT_FALSE(QFileInfo::exists(tempFile));
    EXPECT_TRUE(document.TempFileName().isEmpty());
}

TEST(frxXML, clearedNeverStoredElementIsNotReadFromAStrangerPosition)
{
    // A new unloadable element that was cleared has no stored copy: it is written as it stands,
    // not filled from whatever another element parked at position 0.
    QTemporaryDir folder;
    TfrxXMLDocument document;
    document.SetTempFolder(folder.path());
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"r"_s);
    TfrxXMLItem *parked = root->Add();
    parked->SetName(u"page0"_s);
    parked->SetUnloadable(true);
    parked->Add()->SetName(u"b1"_s);
    document.UnloadItem(parked);
    TfrxXMLItem *fresh = root->Add();
    fresh->SetName(u"page1"_s);
    fresh->SetUnloadable(true);
    fresh->Clear();
    document.LoadItem(fresh);
    EXPECT_EQ(fresh->Count(), 0);
    EXPECT_EQ(save(document), declaration + R"(<r><page0 ld="0"><b1/></page0><page1 ld="0"/></r>)");
}

TEST(frxXML, missingTempFolderFallsBackToTheSystemFolder)
{
    TfrxXMLDocument document;
    document.SetTempFolder(u"/nonexistent/folder/of/tovaro"_s);
    TfrxXMLItem *item = document.RootItem()->Add();
    item->SetUnloadable(true);
    document.UnloadItem(item);
    EXPECT_EQ(QFileInfo(document.TempFileName()).absolutePath(), QDir(QDir::tempPath()).absolutePath());
}

TEST(frxXML, positionsBeyondFourGigabytesAreKept)
{
    constexpr qint64 gap = 5LL << 30;
    const QByteArray content = declaration + R"(<r><page0 a="1" ld="0"><b1 Text="王"/></page0>)" +
                               R"(<page0 a="2" ld="0"><b1 t="2"/></page0></r>)";
    auto device = std::make_unique<GapDevice>(gap, content);
    GapDevice *raw = device.get();
    ASSERT_TRUE(device->open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    ASSERT_TRUE(device->seek(gap));
    TfrxXMLDocument document;
    document.LoadFromStream(std::move(device), true);
    EXPECT_EQ(raw->m_largestRead, 4096);

    TfrxXMLItem *second = document.RootItem()->Items(1);
    EXPECT_EQ(second->Offset(), gap + content.indexOf("</page0>") + 8);
    EXPECT_GT(second->Offset(), qint64(1) << 32);
    document.LoadItem(second);
    EXPECT_EQ(dump(second), u"page0|a=\"2\"\n  b1|t=\"2\"\n"_s);
    document.LoadItem(document.RootItem()->Items(0));
    EXPECT_EQ(document.RootItem()->Items(0)->Items(0)->Prop(u"Text"), u"王"_s);
}

TEST(frxXML, streamIsLeftJustAfterTheLastByteConsumed)
{
    const QByteArray document = declaration + "<r><a/></r>";
    QBuffer buffer;
    buffer.setData("junk" + document + "<tail/>");
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(4);
    TfrxXMLDocument xml;
    xml.LoadFromStream(buffer);
    EXPECT_EQ(buffer.pos(), 4 + document.size());
    EXPECT_EQ(xml.RootItem()->Count(), 1);
}

TEST(frxXML, outputIsWrittenInBlocksOfJustOverFourKilobytes)
{
    TfrxXMLDocument document;
    TfrxXMLItem *root = document.RootItem();
    root->SetName(u"r"_s);
    for (int i = 0; i < 2000; ++i)
        root->Add()->SetText(uR"(n="m%1" l="371.33" Text="王小明")"_s.arg(i));
    RecordingBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.SaveToStream(buffer);
    ASSERT_GT(buffer.writes.size(), 5);
    for (qsizetype i = 0; i + 1 < buffer.writes.size(); ++i) {
        EXPECT_GT(buffer.writes[i], 4096);
        EXPECT_LT(buffer.writes[i], 4096 + 100);
    }
}

TEST(frxXML, streamFailuresAreFileErrors)
{
    TfrxXMLDocument document;
    document.RootItem()->SetName(u"r"_s);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(document.SaveToStream(readOnly), platform::FileError);
    QBuffer closed;
    EXPECT_THROW(document.LoadFromStream(closed), platform::FileError);
}
