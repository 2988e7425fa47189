#include "fakehost.h"

#include "platform/errors.h"

using namespace script;

namespace fakehost {

FakeObject::FakeObject(QString className, QString baseClass)
    : m_class(std::move(className)), m_base(std::move(baseClass))
{
}

bool FakeObject::isA(const QString &className) const
{
    return className.compare(m_class, Qt::CaseInsensitive) == 0 ||
           (!m_base.isEmpty() && className.compare(m_base, Qt::CaseInsensitive) == 0);
}

bool FakeObject::getProperty(const QString &name, Variant &value)
{
    auto it = properties.constFind(name.toLower());
    if (it == properties.constEnd()) return false;
    value = *it;
    return true;
}

bool FakeObject::setProperty(const QString &name, const Variant &value)
{
    QString key = name.toLower();
    if (!properties.contains(key)) return false;
    if (key == QStringLiteral("left") && value.toFloat() < 0)
        throw platform::Error(QStringLiteral("Left must not be negative"));
    properties[key] = value;
    return true;
}

bool FakeObject::callMethod(const QString &name, VariantList &args, Variant &result)
{
    ++calls;
    QString key = name.toLower();
    if (key == QStringLiteral("clear") && args.empty()) {
        properties[QStringLiteral("text")] = Variant(QString());
        return true;
    }
    if (key == QStringLiteral("add") && args.size() == 1) {
        lines.append(args[0].toString());
        result = Variant(qint64(lines.size() - 1));
        return true;
    }
    if (key == QStringLiteral("newpage") && args.empty()) {
        properties[QStringLiteral("cury")] = Variant(0.0);
        return true;
    }
    return false;
}

bool FakeObject::getIndexed(const QString &name, const VariantList &index, Variant &value)
{
    if (index.size() != 1) return false;
    QString key = name.toLower() + QLatin1Char(':') + index[0].toString().toLower();
    if (name.isEmpty() || name.compare(QStringLiteral("variables"), Qt::CaseInsensitive) == 0) {
        value = indexed.value(key);
        return true;
    }
    return false;
}

bool FakeObject::setIndexed(const QString &name, const VariantList &index, const Variant &value)
{
    if (index.size() != 1) return false;
    if (name.isEmpty() || name.compare(QStringLiteral("variables"), Qt::CaseInsensitive) == 0) {
        indexed[name.toLower() + QLatin1Char(':') + index[0].toString().toLower()] = value;
        return true;
    }
    return false;
}

Host::Host()
{
    memo.properties = {{QStringLiteral("text"), Variant(QStringLiteral("旧"))},
                       {QStringLiteral("left"), Variant(10)},
                       {QStringLiteral("visible"), Variant(true)},
                       {QStringLiteral("name"), Variant(QStringLiteral("Memo1"))}};
    band.properties = {{QStringLiteral("visible"), Variant(true)},
                       {QStringLiteral("name"), Variant(QStringLiteral("MasterData1"))}};
    engine.properties = {{QStringLiteral("cury"), Variant(120.5)}};
    script.addObject(QStringLiteral("Memo1"), &memo);
    script.addObject(QStringLiteral("MasterData1"), &band);
    script.addObject(QStringLiteral("Report"), &report);
    script.addObject(QStringLiteral("Engine"), &engine);
    script.addClass(QStringLiteral("TfrxMemoView"));
    script.addClass(QStringLiteral("TfrxView"));
    script.addClass(QStringLiteral("TfrxBand"));
    value = script.addVariable(QStringLiteral("Value"));
    self = script.addVariable(QStringLiteral("Self"));
    fields.insert(QStringLiteral("frxdbdtst1.\"姓名\""), Variant(QStringLiteral("张三")));
    script.addFunction(QStringLiteral("function Get(Name: String): Variant"), [this](HostCall &c) {
        ++getCalls;
        return fields.value(c.args[0].stringRef());
    });
    script.addFunction(
        QStringLiteral("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"),
        [this](HostCall &c) {
            auto condition = script.compileExpression(c.texts[0]);
            auto chosen = script.compileExpression(condition->evaluate().toBool() ? c.texts[1] : c.texts[2]);
            return chosen->evaluate();
        });
    script.addFunction(
        QStringLiteral("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"),
        [](HostCall &c) { return Variant(c.texts.join(QLatin1Char('|'))); });
    script.setMessageHandler([this](const QString &text) { output.append(text); });
}

} // namespace fakehost
