// TfrxArray objects that report scripts create: a collection keyed by any value, read and written as
// Variables[Key]. The report's script objects own them; Free empties one and makes it refuse further
// use, so that a script holding it after Free gets an error instead of reaching freed memory.
#include "report/objects/frxClass_prepare_p.h"

#include "report/base/frxVariables.h"

#include <platform/errors.h>

using namespace Qt::StringLiterals;

namespace frx {

namespace {

// Objects one compiled script may create; beyond it Create fails instead of exhausting memory.
constexpr size_t MaxScriptArrays = 1000000;

bool is(const QString &name, QLatin1String wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

class ArrayObject : public script::ScriptObject {
public:
    QString scriptClassName() const override { return u"TfrxArray"_s; }
    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (!is(name, "Count"_L1)) return false;
        value = live().Count();
        return true;
    }
    bool callMethod(const QString &name, script::VariantList &, script::Variant &) override
    {
        if (is(name, "Clear"_L1)) {
            live().Clear();
        } else if (is(name, "Free"_L1)) {
            live().Clear();
            m_freed = true;
        } else {
            return false;
        }
        return true;
    }
    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Variables"_L1)) return false;
        value = live().Value(key(index));
        return true;
    }
    bool setIndexed(const QString &name, const script::VariantList &index,
                    const script::Variant &value) override
    {
        if (!name.isEmpty() && !is(name, "Variables"_L1)) return false;
        live().SetValue(key(index), value);
        return true;
    }

private:
    TfrxArray &live()
    {
        if (m_freed) throw platform::Error(u"The TfrxArray has been freed"_s);
        return m_array;
    }
    static const script::Variant &key(const script::VariantList &index)
    {
        if (index.size() != 1) throw platform::Error(u"Variables takes one key"_s);
        return index[0];
    }

    TfrxArray m_array;
    bool m_freed = false;
};

} // namespace

script::Variant TfrxScriptObjects::newArray()
{
    if (m_arrays >= MaxScriptArrays) throw platform::Error(u"Too many TfrxArray objects"_s);
    ++m_arrays;
    m_others.push_back(std::make_unique<ArrayObject>());
    return m_others.back().get();
}

} // namespace frx
