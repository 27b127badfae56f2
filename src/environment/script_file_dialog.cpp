#include "script_file_dialog.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

namespace tesmora {

namespace {

class HideHandOverFiles : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        return !isHandOverFile(sourceModel()->index(row, 0, parent).data().toString());
    }
};

} // namespace

bool isHandOverFile(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\$\\$\\$\\d*\\.tmp$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(fileName).hasMatch();
}

ScriptFileDialog::ScriptFileDialog(Purpose purpose, const QString &folder, const QString &proposed,
                                   QWidget *parent)
    : QFileDialog(parent)
{
    setObjectName(QStringLiteral("ScriptFileDialog"));
    // Qt's own dialog: the file list can be filtered.
    setOption(QFileDialog::DontUseNativeDialog);
    setProxyModel(new HideHandOverFiles(this));
    if (purpose == Open) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters({QStringLiteral("text files (*.txt)"), QStringLiteral("all files (*)")});
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }
    // "name" is taken as "name.txt", both for finding an existing file and
    // for the overwrite question of Save.
    setDefaultSuffix(QStringLiteral("txt"));
    setDirectory(proposed.isEmpty() ? folder : QFileInfo(proposed).absolutePath());
    if (!proposed.isEmpty())
        selectFile(QFileInfo(proposed).fileName());
}

QString ScriptFileDialog::choose(Purpose purpose, const QString &folder, const QString &proposed,
                                 QWidget *parent)
{
    ScriptFileDialog dialog(purpose, folder, proposed, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace tesmora
