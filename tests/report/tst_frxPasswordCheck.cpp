#include "report/base/frxPasswordCheck.h"
#include "tests/support/fakehost.h"

#include <QList>

#include <gtest/gtest.h>

using namespace frx;
using namespace Qt::StringLiterals;

namespace {

// Installs a prompt answering from a script of entries and counting the questions.
struct ScriptedPrompt {
    QList<std::optional<QString>> answers;
    int asked = 0;
    ScriptedPrompt(QList<std::optional<QString>> a) : answers(std::move(a))
    {
        host.password = [this]() -> std::optional<QString> { return answers.at(asked++); };
    }
    FakeHost host;
};

} // namespace

TEST(frxPasswordCheck, noPasswordOrTheAcceptedOnePassesWithoutAsking)
{
    ScriptedPrompt prompt({});
    QString accepted = u"钥匙"_s;
    EXPECT_TRUE(frxCheckPassword(QString(), accepted));
    EXPECT_TRUE(frxCheckPassword(u"钥匙"_s, accepted));
    EXPECT_EQ(prompt.asked, 0);
}

TEST(frxPasswordCheck, correctEntryIsRememberedAndCaseCounts)
{
    ScriptedPrompt prompt({QString(u"Secret"_s), QString(u"secret"_s)});
    QString accepted;
    EXPECT_FALSE(frxCheckPassword(u"secret"_s, accepted));
    EXPECT_TRUE(accepted.isEmpty());
    EXPECT_TRUE(frxCheckPassword(u"secret"_s, accepted));
    EXPECT_EQ(accepted, u"secret"_s);
    EXPECT_TRUE(frxCheckPassword(u"secret"_s, accepted));
    EXPECT_EQ(prompt.asked, 2);
}

TEST(frxPasswordCheck, cancelOrNoPromptFails)
{
    QString accepted;
    EXPECT_FALSE(frxCheckPassword(u"x"_s, accepted));
    ScriptedPrompt prompt({std::nullopt});
    EXPECT_FALSE(frxCheckPassword(u"x"_s, accepted));
    EXPECT_TRUE(accepted.isEmpty());
}
