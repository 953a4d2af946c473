#include "history/qt/c_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The extension of a pattern such as "*.htm" ("" for "*.*" or several patterns).
QString extension_of(const QString& pattern) {
    static const QRegularExpression kSingle(QStringLiteral("^\\*\\.([A-Za-z0-9_]+)$"));
    const QRegularExpressionMatch m = kSingle.match(pattern.trimmed());
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

void cFileDialog::setFilter(const QString& filter) {
    filter_ = filter;
    name_filters_.clear();
    patterns_.clear();
    QString normalised = filter;
    normalised.replace(QLatin1Char(':'), QLatin1Char('|'));
    const QStringList parts = normalised.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns_ << pattern;
        // Qt reads the patterns from the parentheses; add them when the text has none.
        name_filters_ << (description.contains(QLatin1Char('(')) ? description
                                                                  : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
}

void cFileDialog::ShowSave() { show(true); }
void cFileDialog::ShowOpen() { show(false); }

void cFileDialog::show(bool save) {
    QFileDialog dialog(hwnd, DialogTitle, InitDir);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && (flags & kOverwritePrompt) == 0) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!name_filters_.isEmpty()) {
        dialog.setNameFilters(name_filters_);
        const qsizetype index = std::clamp<qsizetype>(FilterIndex - 1, 0, name_filters_.size() - 1);
        dialog.selectNameFilter(name_filters_[index]);
    }
    // A typed name without an extension gets the extension of the chosen file type, or the
    // default extension when the type has no single one.
    const auto suffix_for = [this](const QString& name_filter) {
        const qsizetype i = name_filters_.indexOf(name_filter);
        const QString ext = i >= 0 ? extension_of(patterns_[i]) : QString();
        return ext.isEmpty() ? DefaultExt : ext;
    };
    dialog.setDefaultSuffix(suffix_for(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &suffix_for](const QString& f) { dialog.setDefaultSuffix(suffix_for(f)); });
    if (!FileName.isEmpty()) dialog.selectFile(FileName);

    CancelError = dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty();
    if (CancelError) return;
    FileName = dialog.selectedFiles().constFirst();
    FileTitle = QFileInfo(FileName).fileName();
    const qsizetype chosen = name_filters_.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) FilterIndex = static_cast<int>(chosen) + 1;
}
