#include "report/base/frxRes.h"

#include "platform/errors.h"

#include <QFile>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

// The resource file is compiled into the static engine library; nothing else refers to it, so it
// has to be registered by hand or the linker drops it.
static void registerBuiltInDocument()
{
    Q_INIT_RESOURCE(frxRes);
}

namespace frx {

QString TfrxResources::Get(const QString &name) const
{
    const auto found = m_texts.constFind(name);
    if (found == m_texts.cend()) return name;
    if (found->startsWith(u'!')) return found->mid(1);
    return *found;
}

void TfrxResources::Set(const QString &name, const QString &text)
{
    m_texts.insert(name, text);
}

void TfrxResources::LoadFromStream(QIODevice &stream)
{
    QXmlStreamReader reader(&stream);
    QList<std::pair<QString, QString>> entries;
    if (reader.readNextStartElement()) {
        if (reader.name() != u"Resources") reader.raiseError(u"the root element is not Resources"_s);
        while (!reader.hasError() && reader.readNextStartElement()) {
            if (reader.name() == u"StrRes") {
                const QXmlStreamAttributes attributes = reader.attributes();
                if (attributes.hasAttribute(QLatin1StringView("Name")))
                    entries.append({attributes.value(QLatin1StringView("Name")).toString(),
                                    attributes.value(QLatin1StringView("Text")).toString()});
            }
            reader.skipCurrentElement();
        }
    }
    // What follows the root must be well-formed too.
    while (!reader.hasError() && !reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        throw platform::FileError(
            u"Invalid resource document (line %1): %2"_s.arg(reader.lineNumber()).arg(reader.errorString()));
    for (const auto &[name, text] : entries)
        m_texts.insert(name, text);
}

void TfrxResources::AddStrings(const QStringList &entries)
{
    for (const QString &entry : entries) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals >= 0) m_texts.insert(entry.left(equals), entry.mid(equals + 1));
    }
}

TfrxResources &frxResources()
{
    static TfrxResources table = [] {
        registerBuiltInDocument();
        TfrxResources built;
        QFile document(u":/frx/frxRes.xml"_s);
        if (!document.open(QIODevice::ReadOnly))
            throw platform::FileError(u"The built-in resource document is missing"_s);
        built.LoadFromStream(document);
        return built;
    }();
    return table;
}

QString frxGet(int id)
{
    return frxResources().Get(QString::number(id));
}

QString frxGet(const QString &name)
{
    return frxResources().Get(name);
}

} // namespace frx
