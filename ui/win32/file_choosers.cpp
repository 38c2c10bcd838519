#include "ui/win32/file_choosers.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "conversion/source_types.h"
#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

// The chooser wants each description and pattern list ended by a NUL, and the
// whole filter by one more.
std::wstring ChooserFilter() {
    std::wstring filter = ToWide(OpenFileFilter());
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    return filter;
}

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComReleaser>;

struct ComTextFreer {
    void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};

}  // namespace

std::vector<std::string> PathsChosenInOpenDialog(const wchar_t* answer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* part = answer; *part != L'\0'; part += std::wcslen(part) + 1) {
        parts.emplace_back(part);
    }
    std::vector<std::string> paths;
    if (parts.size() == 1) paths.push_back(ToUtf8(parts[0]));
    if (parts.size() < 2) return paths;
    // A folder at a drive's root ends in its separator already.
    std::wstring folder = parts[0];
    if (folder.back() != L'\\') folder.push_back(L'\\');
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(ToUtf8(folder + parts[i]));
    return paths;
}

std::vector<std::string> ChooseMovieFiles(HWND owner, const std::string& folder) {
    const std::wstring filter = ChooserFilter();
    const std::wstring initialFolder = ToWide(folder);
    // Room for the names of a few thousand files chosen at once; the dialog
    // refuses a choice that does not fit rather than cutting it short.
    std::vector<wchar_t> answer(1 << 18, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = answer.data();
    dialog.nMaxFile = static_cast<DWORD>(answer.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : initialFolder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                   OFN_HIDEREADONLY;
    if (!::GetOpenFileNameW(&dialog)) return {};
    return PathsChosenInOpenDialog(answer.data());
}

std::optional<std::string> ChooseFileSystemFolder(HWND owner, const std::string& folder) {
    IFileOpenDialog* made = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileOpenDialog, reinterpret_cast<void**>(&made)))) {
        return std::nullopt;
    }
    const ComPointer<IFileOpenDialog> dialog(made);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // Only a folder that exists and has a path: ffmpeg writes to a path.
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    IShellItem* start = nullptr;
    if (!folder.empty() && SUCCEEDED(::SHCreateItemFromParsingName(ToWide(folder).c_str(), nullptr,
                                                                   IID_IShellItem,
                                                                   reinterpret_cast<void**>(&start)))) {
        const ComPointer<IShellItem> startFolder(start);
        dialog->SetFolder(startFolder.get());
    }
    IShellItem* result = nullptr;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&result))) return std::nullopt;
    const ComPointer<IShellItem> chosen(result);
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
    const std::unique_ptr<wchar_t, ComTextFreer> owned(path);
    return ToUtf8(owned.get());
}

}  // namespace vantrel
