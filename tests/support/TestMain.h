// The main of a test program that shows the program's windows: on the
// program's application object, with what the program installs at start-up.
// An error that reaches the application's last-resort catch stops the run:
// every handler must catch its own, and a test that meets one fails.
#pragma once

#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "platform/Application.h"
#include "platform/EnterAsTab.h"

#include <QTest>

#include <optional>

namespace testsupport {

enum class Setup {
    ApplicationOnly, // the error handling alone
    Windows, // the fonts and the accelerator keys
    WindowsWithEnterAsTab, // and Enter moving to the next box, as in the program
};

template <class Test> int runTests(int argc, char** argv, Setup setup)
{
    platform::Application app(argc, argv);
    platform::Application::setLastResortIsFault(true);
    std::optional<platform::EnterAsTab> enterAsTab;
    if (setup != Setup::ApplicationOnly) {
        controls::installFontSubstitutions();
        controls::installAccelerators(app);
    }
    if (setup == Setup::WindowsWithEnterAsTab)
        enterAsTab.emplace();
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace testsupport

#define HLR_TEST_MAIN(TestClass, setup)                                                                      \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        return testsupport::runTests<TestClass>(argc, argv, testsupport::Setup::setup);                      \
    }
