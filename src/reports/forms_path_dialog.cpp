#include "reports/forms_path_dialog.h"

#include "console/central_error_handler_qt.h"
#include "core/match_state.h"
#include "core/settings_notice.h"
#include "core/startup.h"
#include "core/text_qt.h"
#include "reports/report_settings.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace kuzelna {

Tformular_cesta::Tformular_cesta(MatchState& state, QWidget* parent,
                                 std::function<QString(QWidget*)> chooseFolder)
    : QDialog(parent), state_(state), chooseFolder_(std::move(chooseFolder)), path_(new QLineEdit) {
    if (!chooseFolder_) {
        chooseFolder_ = [](QWidget* owner) {
            return QFileDialog::getExistingDirectory(owner, QStringLiteral("Adresář pro uložení formulářů"),
                                                     QDir::rootPath());
        };
    }
    setWindowTitle(QStringLiteral("Cesta k formulářům"));
    setModal(false);
    path_->setMinimumWidth(320);

    auto* browseButton = new QPushButton(QStringLiteral("Najít"));
    auto* saveButton = new QPushButton(QStringLiteral("Ulož"));
    auto* cancelButton = new QPushButton(QStringLiteral("Storno"));
    browseButton->setObjectName(QStringLiteral("browse"));
    saveButton->setObjectName(QStringLiteral("save"));
    cancelButton->setObjectName(QStringLiteral("cancel"));
    connect(browseButton, &QPushButton::clicked, this, &Tformular_cesta::browse);
    connect(saveButton, &QPushButton::clicked, this, &Tformular_cesta::save);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_);
    pathRow->addWidget(browseButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Cesta k formulářům:")));
    layout->addLayout(pathRow);
    layout->addLayout(buttons);
}

void Tformular_cesta::open() {
    path_->setText(fromCp1250(state_.formsPath));
    hide();
    show();
    raise();
    activateWindow();
}

void Tformular_cesta::browse() {
    const QString folder = chooseFolder_(this);
    if (!folder.isEmpty()) path_->setText(QDir::toNativeSeparators(folder));
}

void Tformular_cesta::save() {
    hide();
    // The folder holds for this run even when zodided.ini cannot be written.
    const std::filesystem::path path = std::filesystem::current_path() / kIniFileName;
    try {
        if (!saveFormsPath(state_, toCp1250(path_->text()), path))
            KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(path.string())));
    } catch (const std::exception& failure) {
        KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(path.string(), failure)));
    }
}

} // namespace kuzelna
