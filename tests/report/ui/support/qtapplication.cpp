// One QApplication for every widget test of this layer, made before the first test runs.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "tovaro-widget-test";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto *const environment = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
