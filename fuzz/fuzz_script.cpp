// Compiles and runs arbitrary source as a report script and as an expression, with a bounded step
// budget and string length, over a small host object. Problems may only surface as ScriptError.
#include "script/fsScript.h"

#include <cstddef>
#include <cstdint>

namespace {

class Probe : public script::ScriptObject {
public:
    QString scriptClassName() const override { return QStringLiteral("TfrxMemoView"); }
    bool getProperty(const QString &name, script::Variant &value) override
    {
        if (name.compare(QStringLiteral("Text"), Qt::CaseInsensitive) == 0) {
            value = m_text;
            return true;
        }
        return false;
    }
    bool setProperty(const QString &name, const script::Variant &value) override
    {
        if (name.compare(QStringLiteral("Text"), Qt::CaseInsensitive) != 0) return false;
        m_text = value;
        return true;
    }
    bool getIndexed(const QString &name, const script::VariantList &index, script::Variant &value) override
    {
        value = script::Variant(qint64(index.size()));
        return name.isEmpty();
    }

private:
    script::Variant m_text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    script::Variant::setMaxStringLength(1 << 16);
    const QString source = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    Probe probe;
    script::TfsScript parent;
    parent.addObject(QStringLiteral("Memo1"), &probe);
    parent.addVariable(QStringLiteral("Value"), script::Variant(1));
    parent.addFunction(QStringLiteral("function Get(Name: String): Variant"),
                       [](script::HostCall &c) { return script::Variant(c.args[0].toString()); });
    parent.addFunction(QStringLiteral("macrofunction IIF(Expr: Boolean; A, B: Variant): Variant"),
                       [](script::HostCall &c) { return script::Variant(c.texts.join(QLatin1Char(','))); });
    parent.setMessageHandler([](const QString &) {});
    parent.setStepLimit(20000);
    try {
        if (parent.compile(source)) {
            parent.runMain();
            script::VariantList args{script::Variant(&probe)};
            if (parent.hasRoutine(QStringLiteral("f"))) parent.call(QStringLiteral("f"), args);
        } else if (parent.diagnostics().isEmpty()) {
            __builtin_trap(); // a failed compilation always says why
        }
    } catch (const script::ScriptError &) {
    }
    script::TfsScript child;
    child.setParent(&parent);
    child.setStepLimit(20000);
    try {
        child.compileExpression(source)->evaluate();
    } catch (const script::ScriptError &) {
    }
    return 0;
}
