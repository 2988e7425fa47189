#include "report/objects/frxClass_p.h"

#include "report/text/frxUnicodeUtils.h"

#include <QMutex>

namespace frx {

// ---- small helpers ----

bool sameTextAscii(QStringView a, QStringView b)
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

QString asciiLower(QStringView text)
{
    QString result = text.toString();
    for (QChar &c : result)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z') c = QChar(c.unicode() + 32);
    return result;
}

// ---- enumerations and properties ----

int EnumInfo::indexOf(QStringView name) const
{
    for (int i = 0; i < names.size(); ++i)
        if (sameTextAscii(names[i], name)) return i;
    return -1;
}

QString EnumInfo::nameOf(qint64 ordinal) const
{
    return ordinal >= 0 && ordinal < names.size() ? names[int(ordinal)] : QString();
}

namespace {

[[noreturn]] void invalidValue()
{
    throw platform::Error(QStringLiteral("Invalid property value"));
}

qint64 ordinalOf(const PropValue &value)
{
    if (const auto *i = std::get_if<qint64>(&value)) return *i;
    if (const auto *b = std::get_if<bool>(&value)) return *b ? 1 : 0;
    invalidValue();
}

// The value converted to the kind the setter expects.
PropValue convertedValue(const PropInfo &info, const PropValue &value)
{
    switch (info.kind) {
    case PropKind::Integer:
        return ordinalOf(value);
    case PropKind::Set: {
        const qint64 bits = ordinalOf(value);
        if (bits < 0 || bits >= (qint64(1) << info.enumInfo->names.size())) invalidValue();
        return bits;
    }
    case PropKind::Enum: {
        qint64 ordinal;
        if (const auto *name = std::get_if<QString>(&value))
            ordinal = info.enumInfo->indexOf(*name);
        else
            ordinal = ordinalOf(value);
        if (ordinal < 0 || ordinal >= info.enumInfo->names.size()) invalidValue();
        return ordinal;
    }
    case PropKind::Float:
        if (const auto *f = std::get_if<Extended>(&value)) return *f;
        if (const auto *i = std::get_if<qint64>(&value)) return Extended(*i);
        invalidValue();
    case PropKind::Boolean:
        if (const auto *b = std::get_if<bool>(&value)) return *b;
        if (const auto *i = std::get_if<qint64>(&value)) return *i != 0;
        invalidValue();
    case PropKind::String:
        if (std::holds_alternative<QString>(value)) return value;
        invalidValue();
    case PropKind::StringList:
    case PropKind::TextStore:
        if (std::holds_alternative<QStringList>(value)) return value;
        invalidValue();
    case PropKind::Component: {
        const auto *component = std::get_if<TfrxComponent *>(&value);
        if (!component) invalidValue();
        if (*component && !info.referenceClass.isEmpty() && !(*component)->InheritsFrom(info.referenceClass))
            invalidValue();
        return value;
    }
    case PropKind::Object:
        break;
    }
    invalidValue();
}

} // namespace

void PropInfo::setValue(void *target, const PropValue &value) const
{
    if (!setter) throw platform::Error(QStringLiteral("Property %1 is read-only").arg(name));
    setter(target, convertedValue(*this, value));
}

bool PropInfo::isDefault(const void *target) const
{
    return defaultValue && *defaultValue == value(target);
}

// ---- classes ----

const PropInfo *ClassInfo::property(QStringView propertyName) const
{
    return byName.value(asciiLower(propertyName), nullptr);
}

bool ClassInfo::inherits(QStringView className) const
{
    for (const ClassInfo *c = this; c; c = c->parent)
        if (sameTextAscii(c->name, className)) return true;
    return false;
}

void ClassInfo::finish()
{
    all.clear();
    if (parent) all = parent->all;
    for (const PropInfo &info : own)
        all.push_back(&info);
    byName.clear();
    for (const PropInfo *info : all)
        byName.insert(asciiLower(info->name), info);
}

namespace {

struct Registry {
    QMutex lock;
    std::vector<const ClassInfo *> classes;
    QHash<QString, const ClassInfo *> byName;

    void add(const ClassInfo &info)
    {
        const QString key = asciiLower(info.name);
        if (const ClassInfo *old = byName.value(key)) std::erase(classes, old);
        classes.push_back(&info);
        byName.insert(key, &info);
    }
};

Registry &registry()
{
    static Registry *instance = [] {
        auto *r = new Registry;
        for (const ClassInfo *info : {&TfrxComponent::staticClassInfo(),
                                      &TfrxReportComponent::staticClassInfo(),
                                      &TfrxDialogComponent::staticClassInfo(),
                                      &TfrxDialogControl::staticClassInfo(),
                                      &TfrxView::staticClassInfo(),
                                      &TfrxStretcheable::staticClassInfo(),
                                      &TfrxCustomMemoView::staticClassInfo(),
                                      &TfrxMemoView::staticClassInfo(),
                                      &TfrxSysMemoView::staticClassInfo(),
                                      &TfrxCustomLineView::staticClassInfo(),
                                      &TfrxLineView::staticClassInfo(),
                                      &TfrxPictureView::staticClassInfo(),
                                      &TfrxShapeView::staticClassInfo(),
                                      &TfrxSubreport::staticClassInfo(),
                                      &TfrxBand::staticClassInfo(),
                                      &TfrxDataBand::staticClassInfo(),
                                      &TfrxMasterData::staticClassInfo(),
                                      &TfrxDetailData::staticClassInfo(),
                                      &TfrxSubdetailData::staticClassInfo(),
                                      &TfrxDataBand4::staticClassInfo(),
                                      &TfrxDataBand5::staticClassInfo(),
                                      &TfrxDataBand6::staticClassInfo(),
                                      &TfrxHeader::staticClassInfo(),
                                      &TfrxFooter::staticClassInfo(),
                                      &TfrxPageHeader::staticClassInfo(),
                                      &TfrxPageFooter::staticClassInfo(),
                                      &TfrxColumnHeader::staticClassInfo(),
                                      &TfrxColumnFooter::staticClassInfo(),
                                      &TfrxGroupHeader::staticClassInfo(),
                                      &TfrxGroupFooter::staticClassInfo(),
                                      &TfrxReportTitle::staticClassInfo(),
                                      &TfrxReportSummary::staticClassInfo(),
                                      &TfrxChild::staticClassInfo(),
                                      &TfrxOverlay::staticClassInfo(),
                                      &TfrxNullBand::staticClassInfo(),
                                      &TfrxPage::staticClassInfo(),
                                      &TfrxReportPage::staticClassInfo(),
                                      &TfrxDialogPage::staticClassInfo(),
                                      &TfrxDataPage::staticClassInfo(),
                                      &TfrxDMPMemoView::staticClassInfo(),
                                      &TfrxDMPLineView::staticClassInfo(),
                                      &TfrxDMPCommand::staticClassInfo(),
                                      &TfrxDMPPage::staticClassInfo(),
                                      &TfrxReport::staticClassInfo(),
                                      &TfrxFrame::staticClassInfo(),
                                      &TfrxFrameLine::staticClassInfo(),
                                      &TfrxFormat::staticClassInfo(),
                                      &TfrxHighlight::staticClassInfo(),
                                      &fontClassInfo(),
                                      &TfrxEngineOptions::staticClassInfo(),
                                      &TfrxPreviewOptions::staticClassInfo(),
                                      &TfrxPrintOptions::staticClassInfo(),
                                      &TfrxReportOptions::staticClassInfo(),
                                      &TfrxDataSetItem::staticClassInfo(),
                                      &TfrxStyleItem::staticClassInfo(),
                                      &TfrxVariable::staticClassInfo()})
            r->add(*info);
        return r;
    }();
    return *instance;
}

} // namespace

const ClassInfo *findClass(QStringView className)
{
    Registry &r = registry();
    QMutexLocker locker(&r.lock);
    return r.byName.value(asciiLower(className), nullptr);
}

void registerClass(const ClassInfo &info)
{
    Registry &r = registry();
    QMutexLocker locker(&r.lock);
    r.add(info);
}

std::vector<const ClassInfo *> registeredClasses()
{
    Registry &r = registry();
    QMutexLocker locker(&r.lock);
    return r.classes;
}

// ---- dotted names ----

std::optional<PropPath> resolveProperty(TfrxComponent *object, QStringView dottedName)
{
    PropPath path;
    path.target = object;
    const ClassInfo *cls = object->classInfo();
    QStringView rest = dottedName;
    for (;;) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0) break;
        const PropInfo *part = cls->property(rest.left(dot));
        if (!part) break;
        if (part->kind == PropKind::StringList || part->kind == PropKind::TextStore) {
            path.info = part;
            path.rest = rest.mid(dot + 1).toString();
            return path;
        }
        if (part->kind != PropKind::Object) break;
        path.walked.emplace_back(path.target, part);
        path.target = part->objectOf(path.target);
        cls = part->objectClass;
        rest = rest.mid(dot + 1);
    }
    path.info = cls->property(rest);
    if (!path.info) return std::nullopt;
    return path;
}

PropValue readProperty(TfrxComponent *object, QStringView dottedName)
{
    const auto path = resolveProperty(object, dottedName);
    if (!path || !path->rest.isEmpty()) return {};
    return path->info->value(path->target);
}

void writeProperty(const PropPath &path, const PropValue &value)
{
    path.info->setValue(path.target, value);
    for (auto it = path.walked.rbegin(); it != path.walked.rend(); ++it)
        if (it->second->objectChanged) it->second->objectChanged(it->first);
}

bool writeProperty(TfrxComponent *object, QStringView dottedName, const PropValue &value)
{
    const auto path = resolveProperty(object, dottedName);
    if (!path || !path->rest.isEmpty() || path->info->isReadOnly()) return false;
    writeProperty(*path, value);
    return true;
}

// ---- attribute texts ----

QString propertyText(const PropInfo &info, const PropValue &value)
{
    switch (info.kind) {
    case PropKind::Integer:
    case PropKind::Set:
        return QString::number(std::get<qint64>(value));
    case PropKind::Enum:
        return info.enumInfo->nameOf(std::get<qint64>(value));
    case PropKind::Boolean:
        return std::get<bool>(value) ? QStringLiteral("True") : QStringLiteral("False");
    case PropKind::Float:
        return floatToText(std::get<Extended>(value));
    case PropKind::String:
        return xmlEscape(std::get<QString>(value));
    case PropKind::Component: {
        const TfrxComponent *component = std::get<TfrxComponent *>(value);
        return component ? xmlEscape(component->Name()) : QString();
    }
    case PropKind::StringList:
        return xmlEscape(std::get<QStringList>(value).join(u"\r\n"));
    case PropKind::TextStore:
    case PropKind::Object:
        break;
    }
    return {};
}

namespace {

void appendPair(QString &text, const QString &prefix, const QString &name, const QString &value)
{
    text += QLatin1Char(' ');
    text += prefix;
    text += name;
    text += u"=\"";
    text += value;
    text += QLatin1Char('"');
}

void appendStored(QString &text, void *target, const ClassInfo &cls, const QString &prefix, bool saveDefaults)
{
    for (const PropInfo *info : cls.all) {
        if (!info->isStored(target)) continue;
        switch (info->kind) {
        case PropKind::Object:
            appendStored(text, info->objectOf(target), *info->objectClass, prefix + info->name + u'.',
                         saveDefaults);
            continue;
        case PropKind::TextStore:
            continue;
        case PropKind::StringList:
            appendPair(text, prefix, info->name + QStringLiteral(".Text"),
                       propertyText(*info, info->value(target)));
            continue;
        default:
            break;
        }
        const PropValue value = info->value(target);
        if (!saveDefaults) {
            if (info->isDefault(target)) continue;
            if (info->kind == PropKind::String && std::get<QString>(value).isEmpty()) continue;
            if (info->kind == PropKind::Component && !std::get<TfrxComponent *>(value)) continue;
        }
        appendPair(text, prefix, info->name, propertyText(*info, value));
    }
}

} // namespace

QString storedAttributes(void *target, const ClassInfo &cls, bool saveDefaults)
{
    QString text;
    appendStored(text, target, cls, QString(), saveDefaults);
    return text;
}

QString storedAttributes(TfrxComponent *object, bool saveDefaults)
{
    QString text;
    appendStored(text, object, *object->classInfo(), QString(), saveDefaults);
    if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(object)) {
        QString body = memo->Text();
        if (body.endsWith(u"\r\n")) body.chop(2);
        appendPair(text, QString(), QStringLiteral("Text"), xmlEscape(body));
    }
    return text;
}

namespace {

qint64 integerFromText(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok) throw platform::Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace

PropValue propertyValueFromText(const PropInfo &info, const QString &text)
{
    switch (info.kind) {
    case PropKind::Integer:
    case PropKind::Set:
        return integerFromText(text);
    case PropKind::Enum: {
        bool ok = false;
        const qint64 ordinal = text.trimmed().toLongLong(&ok);
        if (ok) return ordinal;
        if (info.enumInfo->indexOf(text) < 0) invalidValue();
        return text;
    }
    case PropKind::Boolean:
        if (sameTextAscii(text, u"True")) return true;
        if (sameTextAscii(text, u"False")) return false;
        return integerFromText(text) != 0;
    case PropKind::Float: {
        QString number = text;
        number.remove(u' ');
        const auto value = textToFloat(number);
        if (!value)
            throw platform::Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
        return *value;
    }
    case PropKind::String:
        return text;
    case PropKind::StringList:
    case PropKind::TextStore: {
        TfrxWideStrings lines;
        lines.setText(text);
        return lines.lines();
    }
    case PropKind::Component:
    case PropKind::Object:
        break;
    }
    invalidValue();
}

void applyAttributeText(void *target, const ClassInfo &cls, const QString &text, QStringList &errors)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && text[i] == u' ')
            ++i;
        const qsizetype equals = text.indexOf(u'=', i);
        if (equals < 0) return;
        const QString name = text.mid(i, equals - i).trimmed();
        if (name.isEmpty()) return;
        const qsizetype open = text.indexOf(u'"', equals);
        if (open < 0) return;
        qsizetype close = text.indexOf(u'"', open + 1);
        if (close < 0) close = n;
        const QString raw = text.mid(open + 1, close - open - 1);
        i = close + 1;

        // Walk the dotted name through the value objects.
        void *object = target;
        const ClassInfo *objectClass = &cls;
        std::vector<std::pair<void *, const PropInfo *>> walked;
        QStringView rest(name);
        const PropInfo *info = nullptr;
        for (;;) {
            const qsizetype dot = rest.indexOf(u'.');
            const PropInfo *part = dot < 0 ? nullptr : objectClass->property(rest.left(dot));
            if (part && part->kind == PropKind::Object) {
                walked.emplace_back(object, part);
                object = part->objectOf(object);
                objectClass = part->objectClass;
                rest = rest.mid(dot + 1);
                continue;
            }
            if (part && part->kind == PropKind::StringList && sameTextAscii(rest.mid(dot + 1), u"Text"))
                info = part;
            else
                info = objectClass->property(rest);
            break;
        }
        if (!info || info->isReadOnly() || info->kind == PropKind::Component ||
            info->kind == PropKind::Object)
            continue;
        try {
            PropPath path{object, info, QString(), std::move(walked)};
            writeProperty(path, propertyValueFromText(*info, xmlUnescape(raw)));
        } catch (const platform::Error &error) {
            errors.append(error.message());
        }
    }
}

} // namespace frx
