// Runs every script case in data/*.pas. A case states what it prints (ShowMessage) with
// "// expect: TEXT" comments in order, and optionally "// expect runtime error: MESSAGE" or
// "// expect compile error: DIAGNOSTIC" (one per diagnostic, in order).
#include "support/fakehost.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Case {
    QString name;
    QString source;
};

std::vector<Case> cases()
{
    std::vector<Case> list;
    QDir dir(QStringLiteral(TOVARO_TEST_DATA));
    for (const QString &file : dir.entryList({QStringLiteral("*.pas")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(file));
        if (f.open(QIODevice::ReadOnly)) list.push_back({file, QString::fromUtf8(f.readAll())});
    }
    return list;
}

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name.toStdString();
}

class ScriptCase : public testing::TestWithParam<Case> {};

TEST_P(ScriptCase, printsWhatItExpects)
{
    const Case &c = GetParam();
    QStringList expected, expectedCompile;
    QString expectedRuntime;
    static const QRegularExpression marker(
        QStringLiteral("// expect( runtime error| compile error)?: ?(.*)$"),
        QRegularExpression::MultilineOption);
    for (auto it = marker.globalMatch(c.source); it.hasNext();) {
        auto m = it.next();
        if (m.captured(1) == QStringLiteral(" runtime error"))
            expectedRuntime = m.captured(2).trimmed();
        else if (m.captured(1) == QStringLiteral(" compile error"))
            expectedCompile.append(m.captured(2).trimmed());
        else
            expected.append(m.captured(2));
    }
    fakehost::Host host;
    host.script.setStepLimit(1000000);
    bool compiled = host.script.compile(c.source);
    QStringList diagnostics;
    for (const auto &d : host.script.diagnostics())
        diagnostics.append(d.text());
    if (!expectedCompile.isEmpty()) {
        EXPECT_FALSE(compiled);
        EXPECT_EQ(diagnostics.join(u'\n').toStdString(), expectedCompile.join(u'\n').toStdString());
        return;
    }
    ASSERT_TRUE(compiled) << diagnostics.join(u'\n').toStdString();
    QString runtimeError;
    try {
        host.script.runMain();
    } catch (const script::ScriptError &e) {
        runtimeError = e.message();
    }
    EXPECT_EQ(runtimeError.toStdString(), expectedRuntime.toStdString());
    EXPECT_EQ(host.output.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(data, ScriptCase, testing::ValuesIn(cases()), [](const auto &info) {
    QString name = info.param.name;
    name.chop(4);
    return name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
        .toStdString();
});

} // namespace
