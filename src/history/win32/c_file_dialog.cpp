#include "history/win32/c_file_dialog.h"

#include "platform/win32/windows_api.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/win32_text.h"

void cFileDialog::setFilter(const std::string& filter) {
    filter_ = filter;
    filter_list_ = widen(filter);
    for (wchar_t& c : filter_list_)
        if (c == L'|' || c == L':') c = L'\0';
    filter_list_.append(2, L'\0');
}

void cFileDialog::ShowSave() { show(true); }
void cFileDialog::ShowOpen() { show(false); }

void cFileDialog::show(bool save) {
    constexpr std::size_t kBuffer = 1024;
    std::vector<wchar_t> name(kBuffer, L'\0');
    std::vector<wchar_t> title(kBuffer, L'\0');
    const std::wstring given = widen(FileName);
    given.copy(name.data(), kBuffer - 1);
    const std::wstring default_ext = widen(DefaultExt);
    const std::wstring dialog_title = widen(DialogTitle);
    const std::wstring init_dir = widen(InitDir);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(hwnd);
    ofn.lpstrFilter = filter_list_.empty() ? nullptr : filter_list_.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(kBuffer);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(kBuffer);
    ofn.lpstrInitialDir = init_dir.empty() ? nullptr : init_dir.c_str();
    ofn.lpstrTitle = dialog_title.empty() ? nullptr : dialog_title.c_str();
    ofn.lpstrDefExt = default_ext.empty() ? nullptr : default_ext.c_str();
    ofn.Flags = static_cast<DWORD>(flags) | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    CancelError = chosen == FALSE;
    if (CancelError) return;
    // The returned texts end at their first NUL.
    FileName = narrow(std::wstring(name.data()));
    FileTitle = narrow(std::wstring(title.data()));
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
}
