#include "reports/accompanying_texts_dialog.h"

#include "console/central_error_handler_qt.h"
#include "core/match_state.h"
#include "core/settings_notice.h"
#include "core/startup.h"
#include "core/text_qt.h"
#include "reports/report_settings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace kuzelna {
namespace {

std::string typed(const QLineEdit* edit) {
    return toCp1250(edit->text());
}

} // namespace

TDopr_Text_Form::TDopr_Text_Form(MatchState& state, QWidget* parent)
    : QDialog(parent), state_(state), alleyName_(new QLineEdit), alleyApproval_(new QLineEdit),
      refereeName_(new QLineEdit), refereeNumber_(new QLineEdit) {
    setWindowTitle(QStringLiteral("Doprovodné texty"));
    setModal(false);

    auto* alley = new QFormLayout;
    alley->addRow(QStringLiteral("Název kuželny:"), alleyName_);
    alley->addRow(QStringLiteral("Platnost kolaudace do:"), alleyApproval_);

    auto* referee = new QGroupBox(QStringLiteral("Rozhodčí"));
    auto* refereeFields = new QFormLayout(referee);
    refereeFields->addRow(QStringLiteral("Jméno"), refereeName_);
    refereeFields->addRow(QStringLiteral("Číslo průkazu"), refereeNumber_);

    auto* saveButton = new QPushButton(QStringLiteral("Ulož"));
    auto* cancelButton = new QPushButton(QStringLiteral("Storno"));
    saveButton->setObjectName(QStringLiteral("save"));
    cancelButton->setObjectName(QStringLiteral("cancel"));
    connect(saveButton, &QPushButton::clicked, this, &TDopr_Text_Form::save);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(alley);
    layout->addWidget(referee);
    layout->addLayout(buttons);
}

void TDopr_Text_Form::open() {
    if (!isVisible()) {
        alleyName_->setText(fromCp1250(state_.alleyName));
        alleyApproval_->setText(fromCp1250(state_.alleyApproval));
        refereeName_->setText(fromCp1250(state_.refereeName));
        refereeNumber_->setText(fromCp1250(state_.refereeNumber));
    }
    hide();
    show();
    raise();
    activateWindow();
}

void TDopr_Text_Form::save() {
    hide();
    // A failed write leaves the state as it was, and is reported.
    const std::filesystem::path path = std::filesystem::current_path() / kIniFileName;
    try {
        if (!saveAccompanyingTexts(
                state_,
                {typed(alleyName_), typed(alleyApproval_), typed(refereeName_), typed(refereeNumber_)}, path))
            KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(path.string())));
    } catch (const std::exception& failure) {
        KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(path.string(), failure)));
    }
}

} // namespace kuzelna
