// Program entry: creates the main window hidden, lets its first showing run the start-up
// sequence, and runs the message loop until termination is requested.
#include "ui/main_window.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TForm1 form;
    if (!form.Create())
        return 2;
    form.Show(showCommand);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        form.DispatchLoopMessage(msg);
    return form.ReturnCode();
}
