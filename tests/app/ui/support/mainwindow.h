// A main window over a fresh data folder, with its event details dialog, for the widget tests.
#pragma once

#include "apptest.h"

#include "app/ui/main_unit.h"
#include "app/ui/tmp.h"

#include <memory>

namespace apptest {

class MainWindowFixture {
public:
    MainWindowFixture();
    ~MainWindowFixture();

    // Shows the window and waits for its first activation to have run.
    void start();
    // Closes the window and its dialog and starts the program again over the same folder.
    void restart();
    // Makes the picture stand at pixel x 0 of the canvas.
    void pictureToCanvasLeft();
    // Drags label by the pixels given: press (left button unless told), move, release.
    void drag(QWidget *label, QPoint by, Qt::MouseButton button = Qt::LeftButton);
    void doubleClick(QWidget *label, QPoint at);
    // Selects template position n as the user would.
    void chooseTemplate(int n);

    DataDir dir;
    ErrorRecorder errors;
    std::unique_ptr<Tfrm_tmp> dialog;
    std::unique_ptr<TMainForm> form;
};

} // namespace apptest
