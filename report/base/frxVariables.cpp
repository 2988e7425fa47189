#include "report/base/frxVariables.h"

#include "report/objects/frxClass_p.h"

namespace frx {

namespace {

// The variable's value through the registry: strings only, as templates hold them.
QString variableText(const TfrxVariable &variable)
{
    if (variable.Value.isString()) return variable.Value.stringRef();
    try {
        return variable.Value.toString();
    } catch (const platform::Error &) {
        return {}; // arrays and objects have no text
    }
}

} // namespace

const ClassInfo &TfrxVariable::staticClassInfo()
{
    return buildClass<TfrxVariable>(u"TfrxVariable", nullptr, false, [](ClassBuilder<TfrxVariable> &b) {
        b.string(u"Name", &TfrxVariable::Name);
        b.string(
            u"Value", [](const TfrxVariable &v) { return variableText(v); },
            [](TfrxVariable &v, const QString &text) { v.Value = script::Variant(text); });
    });
}

TfrxVariable *TfrxVariables::Add()
{
    m_items.push_back(std::make_unique<TfrxVariable>());
    return m_items.back().get();
}

void TfrxVariables::Delete(int index)
{
    if (index >= 0 && index < Count()) m_items.erase(m_items.begin() + index);
}

int TfrxVariables::IndexOf(const QString &name) const
{
    const QString wanted = name.toLower();
    for (int i = 0; i < Count(); ++i)
        if (QString::localeAwareCompare(m_items[i]->Name.toLower(), wanted) == 0) return i;
    return -1;
}

script::Variant TfrxVariables::Value(const QString &name) const
{
    const int index = IndexOf(name);
    return index < 0 ? script::Variant() : m_items[index]->Value;
}

void TfrxVariables::SetValue(const QString &name, const script::Variant &value)
{
    // Variables outlive the script objects a run hands out (and global ones outlive reports), so
    // an object reference kept here would later point at freed memory.
    if (value.isObject())
        throw platform::Error(QStringLiteral("Variable %1 cannot hold an object").arg(name));
    int index = IndexOf(name);
    if (index < 0) {
        Add()->Name = name;
        index = Count() - 1;
    }
    m_items[index]->Value = value;
}

TfrxVariables &frxGlobalVariables()
{
    static TfrxVariables variables;
    return variables;
}

} // namespace frx
