// Text layout and painting need a QGuiApplication (fonts); a test program includes this header once
// to have one for the whole run, on the offscreen platform the test runner selects.
#pragma once

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace testsupport {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "tovaro-test";
        static char *argv[] = {name, nullptr};
        m_app = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete m_app; }

private:
    QGuiApplication *m_app = nullptr;
};

inline const auto *const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace testsupport
