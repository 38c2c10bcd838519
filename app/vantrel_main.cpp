#include <cstdio>
#include <cstring>

#include "app/converter_app.h"

wxIMPLEMENT_APP_NO_MAIN(vantrel::ConverterApp);

int main(int argc, char** argv) {
    // Answered before the toolkit starts, so that it works with no display,
    // as on a server or in a package's check. A movie named --version is
    // still reachable as ./--version.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("vantrel " VANTREL_VERSION "\n", stdout);
        return 0;
    }
    return vantrel::RunConverterApp(argc, argv);
}
