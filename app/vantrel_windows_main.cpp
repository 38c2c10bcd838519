// vantrel.exe: the converter window; the program ends when it closes.
#include <windows.h>

#include "ui/win32/converter_window.h"
#include "ui/win32/registry_settings_store.h"
#include "app/windows_start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vantrel::WindowsStart start = vantrel::PrepareWindowsStart();
    vantrel::RegistrySettingsStore settings;
    vantrel::ConverterWindow window(std::move(start.setup), &settings);
    window.Run(start.startSources);
    return 0;
}
