#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

// The open/save file dialog with the properties the history export and the rule editor set.
// `Filter` is "description|pattern|description|pattern..." (":" separates like "|");
// `FilterIndex` counts from 1. After ShowSave or ShowOpen, `CancelError` tells whether the
// user cancelled; otherwise FileName, FileTitle and FilterIndex describe the choice.
class cFileDialog {
public:
    // Option bit: ask before overwriting an existing file.
    static constexpr int kOverwritePrompt = 2;

    void setFilter(const QString& filter);
    const QString& Filter() const { return filter_; }
    // The dialog's name filters built from `Filter`, for example "Html (*.htm)".
    const QStringList& name_filters() const { return name_filters_; }
    // The patterns of the filters, for example "*.htm".
    const QStringList& patterns() const { return patterns_; }

    int FilterIndex = 1;
    QString DefaultExt;
    int flags = 0;
    QWidget* hwnd = nullptr;
    QString FileName;
    QString FileTitle;
    QString DialogTitle;
    QString InitDir;
    bool CancelError = false;

    void ShowSave();
    void ShowOpen();

private:
    void show(bool save);

    QString filter_;
    QStringList name_filters_;
    QStringList patterns_;
};
