#include "ui/win32/accessible_names.h"

#include <oleacc.h>

#include "platform/translation.h"
#include "platform/win32/wide_text.h"
#include "ui/accessible_names.h"
#include "ui/mnemonic_mark.h"

namespace vantrel {
namespace {

// A caption's name without its mnemonic's mark, and a value after it.
std::wstring NameOf(const AccessibleName& named, const std::string& value) {
    std::string name = WithoutMnemonicMark(Tr(named.name));
    if (named.isValue && !value.empty()) name += " " + value;
    return ToWide(name);
}

void Annotate(HWND dialog, const AccessibleName& named, const std::string& value) {
    HWND control = ::GetDlgItem(dialog, named.id);
    IAccPropServices* services = nullptr;
    if (control == nullptr || FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                                        IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    const std::wstring name = NameOf(named, value);
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    services->Release();
}

}  // namespace

void AnnotateAccessibleNames(HWND dialog) {
    for (const AccessibleName& named : kAccessibleNames) Annotate(dialog, named, "");
}

void AnnotateAccessibleValue(HWND dialog, int id, const std::string& text) {
    for (const AccessibleName& named : kAccessibleNames) {
        if (named.id == id && named.isValue) Annotate(dialog, named, text);
    }
}

}  // namespace vantrel
