// The entry point of Velnor: the application object runs start-up, which ends with the main
// window already closed, then the exit routine.
#include <cstdio>
#include <exception>

#include "app/startup/dalloryapp.h"

int main(int argc, char** argv) {
    CDalloryApp app(argc, argv);
    try {
        app.InitInstance();  // always false: start-up failed, or the main window has run
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Velnor: %s\n", error.what());
        app.ExitInstance();
        return 1;
    } catch (...) {
        app.ExitInstance();
        return 1;
    }
    return app.ExitInstance();
}
