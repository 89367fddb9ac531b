#include "aids/startup_settings_window.h"

#include "aids/startup_settings.h"
#include "console/central_error_handler_qt.h"
#include "core/match_state.h"
#include "core/settings_notice.h"
#include "core/startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kuzelna {

TForm_Ovl_prvky::TForm_Ovl_prvky(MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state) {
    setObjectName(QStringLiteral("Form_Ovl_prvky"));
    setWindowTitle(QStringLiteral("Nastavení ovládacích prvků po spuštění"));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    setFont(small);

    auto* group = new QGroupBox(QStringLiteral("Nastavení po zapnutí:"), this);
    group->setGeometry(8, 8, 265, 169);
    auto label = [group](const QString& text, int y) {
        auto* l = new QLabel(text, group);
        l->setGeometry(12, y, 110, 15);
        return l;
    };
    auto check = [group](const char* name, int y) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(130, y, 20, 17);
        return box;
    };
    label(QStringLiteral("Turnaj:"), 24);
    tournament_ = check("tournament", 24);
    label(QStringLiteral("Maticový display:"), 48);
    displayExtra_ = check("displayExtra", 48);
    label(QStringLiteral("Počet Drah:"), 74);
    laneLayout_ = new QComboBox(group);
    laneLayout_->setObjectName(QStringLiteral("laneLayout"));
    laneLayout_->addItems({QStringLiteral("4 "), QStringLiteral("2"), QStringLiteral("6")});
    laneLayout_->setGeometry(130, 70, 121, 21);
    label(QStringLiteral("Druh hry:"), 102);
    gameKind_ = new QComboBox(group);
    gameKind_->setObjectName(QStringLiteral("gameKind"));
    for (int kind = 1; kind <= kStartupKindItems; ++kind)
        gameKind_->addItem(QString::fromStdString(startupKindLabel(kind)));
    gameKind_->setGeometry(130, 98, 121, 21);
    label(QStringLiteral("Displeje Vollmer:"), 128);
    label(QStringLiteral("(bez češtiny)"), 142);
    transliterate_ = check("transliterate", 132);

    auto* saveButton = new QPushButton(QStringLiteral("Uložit"), this);
    saveButton->setObjectName(QStringLiteral("save"));
    saveButton->setGeometry(48, 188, 75, 25);
    connect(saveButton, &QPushButton::clicked, this, &TForm_Ovl_prvky::save);
    auto* cancel = new QPushButton(QStringLiteral("Storno"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setGeometry(160, 188, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    setFixedSize(281, 222);
}

void TForm_Ovl_prvky::open() {
    if (!isVisible()) {
        const StartupSettings settings = startupSettingsFromState(state_);
        tournament_->setChecked(settings.tournament);
        displayExtra_->setChecked(settings.displayExtra);
        laneLayout_->setCurrentIndex(settings.laneLayout);
        gameKind_->setCurrentIndex(settings.gameKind);
        transliterate_->setChecked(settings.transliterate);
    }
    hide();
    show();
    raise();
}

StartupSettings TForm_Ovl_prvky::values() const {
    StartupSettings settings;
    settings.tournament = tournament_->isChecked();
    settings.displayExtra = displayExtra_->isChecked();
    settings.laneLayout = laneLayout_->currentIndex();
    settings.gameKind = gameKind_->currentIndex();
    settings.transliterate = transliterate_->isChecked();
    return settings;
}

void TForm_Ovl_prvky::save() {
    hide();
    try {
        if (!saveStartupSettings(state_, values(), kIniFileName))
            KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(kIniFileName)));
    } catch (const std::exception& failure) {
        KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(kIniFileName, failure)));
    }
}

} // namespace kuzelna
