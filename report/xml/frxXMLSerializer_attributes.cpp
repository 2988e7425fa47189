#include "report/xml/frxXMLSerializer.h"
#include "report/xml/frxXMLSerializer_p.h"

#include "platform/codepage.h"
#include "report/objects/frxDBSet.h"
#include "report/base/frxUtils.h"

#include <QStringDecoder>

#include <cmath>
#include <utility>

namespace frx {

namespace serializer {

bool sameAscii(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z') x -= 32;
        if (y >= u'a' && y <= u'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

std::optional<qint64> parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text = text.mid(1);
    } else if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty() || text.size() > 16) return std::nullopt;
    // Sixteen digits of either base fit an unsigned 64-bit accumulator without overflow.
    quint64 magnitude = 0;
    for (QChar c : text) {
        const int digit = c.isDigit() && c.unicode() < 0x80                          ? c.unicode() - u'0'
                          : base == 16 && c.unicode() >= u'a' && c.unicode() <= u'f' ? c.unicode() - u'a' + 10
                          : base == 16 && c.unicode() >= u'A' && c.unicode() <= u'F' ? c.unicode() - u'A' + 10
                                                                                     : -1;
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    if (magnitude > quint64(std::numeric_limits<qint32>::max()) + 1 &&
        !(base == 16 && magnitude <= 0xFFFFFFFFULL))
        return std::nullopt;
    qint64 value = qint64(magnitude);
    if (negative) value = -value;
    // Hexadecimal text names the bits of a 32-bit value, so $FFFFFFFF is -1.
    if (base == 16 && !negative && value <= 0xFFFFFFFFLL) value = qint32(quint32(value));
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

std::optional<Extended> parseFloat(const QString &text)
{
    QString compact = text;
    compact.remove(u' ');
    compact.replace(u',', u'.');
    const std::optional<Extended> value = textToFloat(compact);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

} // namespace serializer

using namespace serializer;

namespace {

[[noreturn]] void badValue(const QString &value, const QString &typeName)
{
    throw platform::ConvertError(QStringLiteral("'%1' is not a valid %2 value").arg(value, typeName));
}

void appendPair(QString &text, const QString &name, const QString &escapedValue)
{
    text += u' ';
    text += name;
    text += u"=\"";
    text += escapedValue;
    text += u'"';
}

void *asTarget(TfrxComponent *component)
{
    return static_cast<void *>(component);
}

// The value of an attribute converted to the property's kind (not Component, Object, lists).
PropValue convertedValue(const PropInfo &info, const QString &value)
{
    switch (info.kind) {
    case PropKind::Integer:
    case PropKind::Set:
        if (const auto number = parseInteger(value)) return *number;
        badValue(value, QStringLiteral("integer"));
    case PropKind::Enum: {
        qint64 ordinal;
        if (const auto number = parseInteger(value))
            ordinal = *number;
        else
            ordinal = info.enumInfo->indexOf(value.trimmed());
        if (ordinal < 0 || ordinal >= info.enumInfo->names.size()) badValue(value, info.enumInfo->typeName);
        return ordinal;
    }
    case PropKind::Boolean: {
        const QString name = value.trimmed();
        if (sameAscii(name, u"True") || name == u"1") return true;
        if (sameAscii(name, u"False") || name == u"0") return false;
        badValue(value, QStringLiteral("Boolean"));
    }
    case PropKind::Float:
        if (const auto number = parseFloat(value)) return *number;
        badValue(value, QStringLiteral("floating point"));
    case PropKind::String:
        return value;
    default:
        return {};
    }
}

} // namespace

// ---- applying ----

void TfrxXMLSerializer::ApplyAttributes(const QString &text, TfrxComponent *object)
{
    applyTo(text, object, asTarget(object), *object->classInfo());
}

void TfrxXMLSerializer::applyTo(const QString &text, TfrxComponent *component, void *target,
                                const ClassInfo &cls)
{
    // The last character of the text is never part of a name or value: at most a closing quote.
    const qsizetype last = text.size() - 1;
    qsizetype pos = 0;
    while (pos < last) {
        while (pos < last && text[pos] == u' ')
            ++pos;
        const qsizetype equals = text.indexOf(u'=', pos);
        if (equals < 0) break;
        const QString name = QStringView(text).mid(pos, equals - pos).trimmed().toString();
        if (name.isEmpty()) break;
        qsizetype open = text.indexOf(u'"', equals + 1);
        if (open < 0 || open >= last) open = last;
        qsizetype close = open + 1 <= last ? text.indexOf(u'"', open + 1) : -1;
        if (close < 0 || close > last) close = last;
        const QString raw = text.mid(open + 1, std::max<qsizetype>(0, close - open - 1));
        pos = close + 1;
        try {
            applyOne(component, target, cls, name, raw);
        } catch (const platform::Error &error) {
            Errors.Add(error.message());
        }
    }
}

QString TfrxXMLSerializer::decodedText(const QString &value) const
{
    if (!OldFormat) return value;
    // The old format stored these texts as UTF-8 inside a code page document; the reader decoded
    // them as code page text. Undo that where the bytes come back intact and form valid UTF-8.
    const QByteArray bytes = platform::toSystemCodePage(value);
    if (platform::fromSystemCodePage(bytes) != value) return value;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(bytes);
    return decoder.hasError() ? value : decoded;
}

void TfrxXMLSerializer::applyOne(TfrxComponent *component, void *target, const ClassInfo &cls,
                                 const QString &name, const QString &raw)
{
    const bool top = component && target == asTarget(component);
    auto *memo = top ? dynamic_cast<TfrxCustomMemoView *>(component) : nullptr;
    if (top && name.size() == 1) {
        switch (name[0].unicode()) {
        case u'l':
        case u't':
        case u'w':
        case u'h': {
            const QString value = xmlUnescape(raw);
            const auto number = parseFloat(value);
            if (!number) badValue(value, QStringLiteral("floating point"));
            const char16_t c = name[0].unicode();
            if (c == u'l')
                component->SetLeft(*number);
            else if (c == u't')
                component->SetTop(*number);
            else if (c == u'w')
                component->SetWidth(*number);
            else
                component->SetHeight(*number);
            return;
        }
        case u'u':
        case u'x':
            if (memo) memo->SetText(name[0] == u'u' ? decodedText(xmlUnescape(raw)) : xmlUnescape(raw));
            return;
        default:
            break;
        }
    }
    if (memo && sameAscii(name, u"Text")) {
        memo->SetText(decodedText(xmlUnescape(raw)));
        return;
    }
    if (top && sameAscii(name, u"PropData")) {
        readDefinedProperties(component, raw);
        return;
    }
    if (top && (sameAscii(name, u"Picture.PropData") || sameAscii(name, u"BackPicture.PropData"))) {
        auto *view = dynamic_cast<TfrxPictureView *>(component);
        auto *page = dynamic_cast<TfrxReportPage *>(component);
        if (view && sameAscii(name, u"Picture.PropData")) {
            if (readPictureData(view->Picture, view->StoredPicture, raw, component) && view->AutoSize) {
                view->SetWidth(view->Picture.width());
                view->SetHeight(view->Picture.height());
            }
        } else if (page && sameAscii(name, u"BackPicture.PropData")) {
            readPictureData(page->BackPicture, page->StoredBackPicture, raw, component);
        }
        return;
    }
    if (top && sameAscii(name, u"Name") && dynamic_cast<TfrxReport *>(component)) return;

    // Walk through the value objects of a dotted name.
    void *holder = target;
    const ClassInfo *holderClass = &cls;
    std::vector<std::pair<void *, const PropInfo *>> walked;
    QStringView rest = name;
    for (qsizetype dot; (dot = rest.indexOf(u'.')) >= 0;) {
        const PropInfo *part = holderClass->property(rest.left(dot));
        if (!part) break;
        if (part->kind == PropKind::StringList || part->kind == PropKind::TextStore) {
            if (!sameAscii(rest.mid(dot + 1), u"Text") || part->isReadOnly()) return;
            const QString value = xmlUnescape(raw);
            if (part->kind == PropKind::StringList) {
                part->setValue(holder, splitLines(value));
            } else {
                TfrxWideStrings lines;
                lines.setText(value);
                part->setValue(holder, lines.lines());
            }
            for (auto it = walked.rbegin(); it != walked.rend(); ++it)
                if (it->second->objectChanged) it->second->objectChanged(it->first);
            return;
        }
        if (part->kind != PropKind::Object) break;
        walked.emplace_back(holder, part);
        holder = part->objectOf(holder);
        holderClass = part->objectClass;
        rest = rest.mid(dot + 1);
    }
    const PropInfo *info = holderClass->property(rest);
    if (!info || info->isReadOnly()) return;
    switch (info->kind) {
    case PropKind::Component:
        m_fixups.push_back({holder, info, xmlUnescape(raw)});
        return;
    case PropKind::Integer:
    case PropKind::Set:
    case PropKind::Enum:
    case PropKind::Boolean:
    case PropKind::Float:
    case PropKind::String:
        info->setValue(holder, convertedValue(*info, xmlUnescape(raw)));
        break;
    default:
        return;
    }
    for (auto it = walked.rbegin(); it != walked.rend(); ++it)
        if (it->second->objectChanged) it->second->objectChanged(it->first);
}

// ---- collecting ----

QString TfrxXMLSerializer::CollectAttributes(TfrxComponent *object, const QString &prefix,
                                             TfrxComponent *ancestor)
{
    if (ancestor && ancestor->classInfo() != object->classInfo()) ancestor = nullptr;
    QString text;
    collectProperties(text, asTarget(object), *object->classInfo(), prefix,
                      ancestor ? asTarget(ancestor) : nullptr);
    if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) {
        auto *ancestorMemo = static_cast<TfrxCustomMemoView *>(ancestor);
        if (!ancestorMemo || ancestorMemo->Text() != memo->Text()) {
            QString body = memo->Text();
            if (body.endsWith(u"\r\n")) body.chop(2);
            appendPair(text, prefix + QStringLiteral("Text"), xmlEscape(body));
        }
    }
    // An unchanged picture goes back as it was read; only a new one is encoded.
    const auto pictureOf =
        [](TfrxComponent *component) -> std::pair<const QImage *, const TfrxStoredPicture *> {
        if (auto *view = dynamic_cast<TfrxPictureView *>(component))
            return {&view->Picture, &view->StoredPicture};
        if (auto *page = dynamic_cast<TfrxReportPage *>(component))
            return {&page->BackPicture, &page->StoredBackPicture};
        return {nullptr, nullptr};
    };
    if (const auto [picture, stored] = pictureOf(object); picture && !picture->isNull()) {
        const QImage *previous = ancestor ? pictureOf(ancestor).first : nullptr;
        if (!previous || *previous != *picture) {
            QByteArray stream = stored->StreamFor(*picture);
            if (stream.isEmpty()) stream = PictureStream(*picture);
            const QString name = dynamic_cast<TfrxPictureView *>(object) ? QStringLiteral("Picture")
                                                                         : QStringLiteral("BackPicture");
            if (!stream.isEmpty())
                appendPair(text, prefix + name + QStringLiteral(".PropData"), bytesToHex(stream));
        }
    }
    const QByteArray data = definedProperties(object);
    if (!data.isEmpty() && (!ancestor || definedProperties(ancestor) != data))
        appendPair(text, prefix + QStringLiteral("PropData"), bytesToHex(data));
    return text;
}

void TfrxXMLSerializer::collectProperties(QString &text, void *target, const ClassInfo &cls,
                                          const QString &prefix, void *ancestor)
{
    for (const PropInfo *info : cls.all) {
        if (!info->isStored(target)) continue;
        const QString name = prefix + info->name;
        switch (info->kind) {
        case PropKind::Object:
            collectProperties(text, info->objectOf(target), *info->objectClass, name + u'.',
                              ancestor ? info->objectOf(ancestor) : nullptr);
            continue;
        case PropKind::TextStore:
            continue;
        case PropKind::StringList: {
            const QStringList lines = std::get<QStringList>(info->value(target));
            if (ancestor && std::get<QStringList>(info->value(ancestor)) == lines) continue;
            appendPair(text, name + QStringLiteral(".Text"), xmlEscape(lines.join(u"\r\n")));
            continue;
        }
        case PropKind::Component: {
            const TfrxComponent *component = std::get<TfrxComponent *>(info->value(target));
            if (ancestor) {
                const TfrxComponent *previous = std::get<TfrxComponent *>(info->value(ancestor));
                const QString mine = component ? ReferenceName(component) : QString();
                const QString theirs = previous ? ReferenceName(previous) : QString();
                if (mine == theirs) continue;
                appendPair(text, name, component ? xmlEscape(mine) : QStringLiteral("nil"));
            } else if (component) {
                appendPair(text, name, xmlEscape(ReferenceName(component)));
            }
            continue;
        }
        default:
            break;
        }
        const PropValue value = info->value(target);
        if (ancestor) {
            const PropValue previous = info->value(ancestor);
            if (info->kind == PropKind::Float) {
                if (std::fabs(std::get<Extended>(value) - std::get<Extended>(previous)) < 1e-6L) continue;
            } else if (value == previous) {
                continue;
            }
        } else if (!SerializeDefaultValues) {
            if (info->kind == PropKind::String && std::get<QString>(value).isEmpty()) continue;
            if (info->kind != PropKind::Float && info->kind != PropKind::String && info->isDefault(target))
                continue;
        }
        QString shown = propertyText(*info, value);
        // An ordinal outside the type's names (set through code) is kept as its number.
        if (info->kind == PropKind::Enum && shown.isEmpty()) shown = QString::number(std::get<qint64>(value));
        appendPair(text, name, shown);
    }
}

// ---- defined properties ----

bool TfrxXMLSerializer::readPictureData(QImage &picture, TfrxStoredPicture &stored, const QString &hex,
                                        TfrxComponent *object)
{
    try {
        picture = ReadPictureStream(hexToBytes(hex), stored);
        return true;
    } catch (const platform::Error &error) {
        Errors.Add(
            QStringLiteral("Cannot read PropData of %1: %2")
                .arg(object->Name().isEmpty() ? object->ClassName() : object->Name(), error.message()));
        return false;
    }
}

namespace {

qint64 clampedRound(Extended value)
{
    return std::clamp<qint64>(roundHalfEven(value), std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint32>::max());
}

} // namespace

QByteArray TfrxXMLSerializer::definedProperties(TfrxComponent *object)
{
    PropertyStreamWriter writer;
    if (auto *report = dynamic_cast<TfrxReport *>(object)) {
        const auto writeList = [&](const QString &name, int count, const ClassInfo &cls, auto itemAt) {
            writer.WriteName(name);
            writer.WriteListBegin();
            for (int i = 0; i < count; ++i) {
                QString attributes;
                collectProperties(attributes, static_cast<void *>(itemAt(i)), cls, QString(), nullptr);
                writer.WriteListBegin();
                writer.WriteString(attributes);
                writer.WriteListEnd();
            }
            writer.WriteListEnd();
        };
        writeList(QStringLiteral("Datasets"), report->Datasets.Count(), TfrxDataSetItem::staticClassInfo(),
                  [&](int i) { return report->Datasets.Items(i); });
        writeList(QStringLiteral("Variables"), report->Variables.Count(), TfrxVariable::staticClassInfo(),
                  [&](int i) { return report->Variables.Items(i); });
        writeList(QStringLiteral("Style"), report->Styles.Count(), TfrxStyleItem::staticClassInfo(),
                  [&](int i) { return report->Styles.Items(i); });
    } else if (dynamic_cast<TfrxDialogComponent *>(object) && object->OwnerReport()) {
        writer.WriteName(QStringLiteral("pLeft"));
        writer.WriteInteger(clampedRound(object->Left()));
        writer.WriteName(QStringLiteral("pTop"));
        writer.WriteInteger(clampedRound(object->Top()));
    }
    return writer.Data();
}

void TfrxXMLSerializer::readDefinedProperties(TfrxComponent *object, const QString &hex)
{
    auto *report = dynamic_cast<TfrxReport *>(object);
    const bool dialogComponent = dynamic_cast<TfrxDialogComponent *>(object) != nullptr;
    try {
        PropertyStreamReader reader(hexToBytes(hex));
        while (!reader.AtEnd()) {
            const QString name = reader.ReadName();
            if (report && (name == u"Datasets" || name == u"Variables" || name == u"Style")) {
                // New items of the collection; each gets the attribute texts of its list.
                const auto newItem = [&]() -> std::pair<void *, const ClassInfo *> {
                    if (name == u"Datasets")
                        return {report->Datasets.Add(), &TfrxDataSetItem::staticClassInfo()};
                    if (name == u"Variables")
                        return {report->Variables.Add(), &TfrxVariable::staticClassInfo()};
                    return {report->Styles.Add(), &TfrxStyleItem::staticClassInfo()};
                };
                if (reader.NextTag() == PropertyTag::Collection) {
                    // Older files: each item an optional order number and a list of name/value pairs.
                    reader.ReadCollectionBegin();
                    while (!reader.EndOfList()) {
                        if (reader.NextIsInteger()) reader.ReadInteger();
                        reader.ReadListBegin();
                        const auto [item, cls] = newItem();
                        while (!reader.EndOfList()) {
                            const QString property = reader.ReadName();
                            const QString value = reader.NextIsInteger()
                                                      ? QString::number(reader.ReadInteger())
                                                      : reader.ReadString();
                            try {
                                applyOne(nullptr, item, *cls, property, xmlEscape(value));
                            } catch (const platform::Error &error) {
                                Errors.Add(error.message());
                            }
                        }
                        reader.ReadListEnd();
                    }
                    reader.ReadListEnd();
                    continue;
                }
                reader.ReadListBegin();
                while (!reader.EndOfList()) {
                    reader.ReadListBegin();
                    const auto [item, cls] = newItem();
                    while (!reader.EndOfList())
                        applyTo(reader.ReadString(), nullptr, item, *cls);
                    reader.ReadListEnd();
                }
                reader.ReadListEnd();
            } else if (dialogComponent && (name == u"pLeft" || name == u"pTop")) {
                const qint64 value = reader.ReadInteger();
                if (name == u"pLeft")
                    object->SetLeft(Extended(value));
                else
                    object->SetTop(Extended(value));
            } else {
                throw platform::Error(QStringLiteral("unknown property %1").arg(name));
            }
        }
    } catch (const platform::Error &error) {
        Errors.Add(
            QStringLiteral("Cannot read PropData of %1: %2")
                .arg(object->Name().isEmpty() ? object->ClassName() : object->Name(), error.message()));
    }
}

} // namespace frx
