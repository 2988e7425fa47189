// The seam through which a host exposes its objects to scripts without the script engine knowing
// them: properties, methods and indexed properties by name, and a type name for "is" and casts.
#pragma once

#include "script/variant.h"

#include <QString>

namespace script {

class ScriptObject {
public:
    virtual ~ScriptObject() = default;

    // The class name scripts see ("TfrxMemoView"); used in messages and by isA.
    virtual QString scriptClassName() const = 0;
    // Whether the object is of the named class or derives from it; names compare without regard
    // to case. The default knows only the object's own class.
    virtual bool isA(const QString &className) const
    {
        return className.compare(scriptClassName(), Qt::CaseInsensitive) == 0;
    }

    // Property access by name (any letter case). Return false when there is no such property;
    // raise platform::Error for a refused value.
    virtual bool getProperty(const QString &name, Variant &value) { return false; }
    virtual bool setProperty(const QString &name, const Variant &value) { return false; }

    // Calls a method; Args may be changed for parameters passed by reference. Return false when
    // there is no such method.
    virtual bool callMethod(const QString &name, VariantList &args, Variant &result) { return false; }

    // Indexed properties: Name is empty for the object's default one (Report.Variables['x'],
    // DataSet.Value['field']). Return false when there is none.
    virtual bool getIndexed(const QString &name, const VariantList &index, Variant &value) { return false; }
    virtual bool setIndexed(const QString &name, const VariantList &index, const Variant &value)
    {
        return false;
    }
};

} // namespace script
