#include "script/runtime.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace script {

bool basicType(const QString &typeName, Hint &hint)
{
    static const QHash<QString, Hint> types = {
        {u"integer"_s, Hint::Integer},   {u"longint"_s, Hint::Integer},    {u"smallint"_s, Hint::Integer},
        {u"shortint"_s, Hint::Integer},  {u"byte"_s, Hint::Integer},       {u"word"_s, Hint::Integer},
        {u"cardinal"_s, Hint::Int64},    {u"longword"_s, Hint::Int64},     {u"int64"_s, Hint::Int64},
        {u"double"_s, Hint::Float},      {u"extended"_s, Hint::Float},     {u"single"_s, Hint::Float},
        {u"real"_s, Hint::Float},        {u"currency"_s, Hint::Float},     {u"string"_s, Hint::String},
        {u"widestring"_s, Hint::String}, {u"ansistring"_s, Hint::String},  {u"unicodestring"_s, Hint::String},
        {u"char"_s, Hint::String},       {u"widechar"_s, Hint::String},    {u"ansichar"_s, Hint::String},
        {u"boolean"_s, Hint::Boolean},   {u"tdatetime"_s, Hint::DateTime}, {u"tdate"_s, Hint::DateTime},
        {u"ttime"_s, Hint::DateTime},    {u"variant"_s, Hint::Null},
    };
    auto it = types.constFind(typeName.toLower());
    if (it == types.constEnd()) return false;
    hint = it.value();
    return true;
}

Hint hintForTypeName(const QString &typeName)
{
    Hint hint = Hint::Null;
    basicType(typeName, hint);
    return hint;
}

Variant initialValue(Hint hint)
{
    switch (hint) {
    case Hint::Integer:
        return Variant(0);
    case Hint::Int64:
        return Variant(qint64(0)).convertedTo(Hint::Int64);
    case Hint::Float:
        return Variant(0.0);
    case Hint::String:
        return Variant(QString());
    case Hint::Boolean:
        return Variant(false);
    case Hint::DateTime:
        return Variant::fromDateTime(0);
    default:
        return {};
    }
}

} // namespace script
