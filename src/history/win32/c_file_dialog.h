#pragma once

#include <string>

// The open/save file dialog (GetOpenFileNameW, GetSaveFileNameW) with the properties the
// history export sets. `Filter` is "description|pattern|description|pattern..." (":"
// separates like "|"); `FilterIndex` counts from 1. After ShowSave or ShowOpen, `CancelError`
// tells whether the user cancelled; otherwise FileName, FileTitle (UTF-8) and FilterIndex
// describe the choice.
class cFileDialog {
public:
    // Option bit (OFN_OVERWRITEPROMPT): ask before overwriting an existing file.
    static constexpr int kOverwritePrompt = 2;

    void setFilter(const std::string& filter);
    const std::string& Filter() const { return filter_; }
    // The dialog's filter list: NUL after each description and pattern, two NULs at the end.
    const std::wstring& filter_list() const { return filter_list_; }

    int FilterIndex = 1;
    std::string DefaultExt;
    int flags = 0;
    void* hwnd = nullptr;  // the owner window
    std::string FileName;
    std::string FileTitle;
    std::string DialogTitle;
    std::string InitDir;
    bool CancelError = false;

    void ShowSave();
    void ShowOpen();

private:
    void show(bool save);

    std::string filter_;
    std::wstring filter_list_;
};
