// Report variables: named values of a report, looked up by name ignoring case.
#pragma once

#include "script/variant.h"

#include <QString>

#include <memory>
#include <vector>

namespace frx {

struct ClassInfo;

// One variable. Its value is Null when created; a string value is an expression.
class TfrxVariable {
public:
    static const ClassInfo &staticClassInfo();
    QString Name;
    script::Variant Value;
};

// The variables of a report, in insertion order.
class TfrxVariables {
public:
    TfrxVariable *Add();
    void Clear() { m_items.clear(); }
    void Delete(int index);
    int Count() const { return int(m_items.size()); }
    TfrxVariable *Items(int index) const { return m_items.at(index).get(); }
    // Index of the variable of that name (case ignored, locale-aware), or -1.
    int IndexOf(const QString &name) const;
    // The value of the variable of that name; Null for a missing name.
    script::Variant Value(const QString &name) const;
    // Sets the value, appending a new variable for a missing name; raises platform::Error for an
    // object reference, which could not outlive the run that made it.
    void SetValue(const QString &name, const script::Variant &value);

private:
    std::vector<std::unique_ptr<TfrxVariable>> m_items;
};

// The same kind of collection keyed by any value; keys compare as their text, ignoring case.
class TfrxArray {
public:
    void Clear() { m_items.Clear(); }
    int Count() const { return m_items.Count(); }
    // The value stored under the key; Null for a missing key. A key that has no text raises.
    script::Variant Value(const script::Variant &key) const { return m_items.Value(key.toString()); }
    void SetValue(const script::Variant &key, const script::Variant &value)
    {
        m_items.SetValue(key.toString(), value);
    }

private:
    TfrxVariables m_items;
};

// The process-wide variables that scripts know as frxGlobalVariables (copy names, host values).
TfrxVariables &frxGlobalVariables();

} // namespace frx
