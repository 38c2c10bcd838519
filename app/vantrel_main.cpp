#include "converter_app.h"

wxIMPLEMENT_APP_NO_MAIN(vantrel::ConverterApp);

int main(int argc, char** argv) { return vantrel::RunConverterApp(argc, argv); }
