#include "web/web_results_dialog.h"

#include "console/main_window.h"
#include "web/qr_code_qt.h"
#include "web/web_results_qt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kuzelna {

WebResultsDialog::WebResultsDialog(WebResults& web, QWidget* parent) : QDialog(parent), web_(web) {
    setWindowTitle(QStringLiteral("Webové výsledky"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Výsledky utkání pro telefony a televizi v hale:"), this));
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("webState"));
    state_->setWordWrap(true);
    layout->addWidget(state_);
    addresses_ = new QComboBox(this);
    addresses_->setObjectName(QStringLiteral("webAddresses"));
    layout->addWidget(addresses_);
    code_ = new QLabel(this);
    code_->setObjectName(QStringLiteral("webCode"));
    code_->setAlignment(Qt::AlignCenter);
    layout->addWidget(code_);
    publishing_ = new QLabel(this);
    publishing_->setObjectName(QStringLiteral("webPublishing"));
    publishing_->setWordWrap(true);
    publishing_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(publishing_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Zavřít"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    layout->addWidget(buttons);
    connect(addresses_, &QComboBox::currentIndexChanged, this, &WebResultsDialog::showCode);
    connect(&web_, &WebResults::publishStateChanged, this, &WebResultsDialog::refresh);
}

void WebResultsDialog::open() {
    refresh();
    show(); // beside the console, never a modal loop
    raise();
}

void WebResultsDialog::refresh() {
    const QStringList list = web_.addresses();
    if (web_.settings().port == 0) {
        state_->setText(QStringLiteral("Stránka je vypnutá (v zodided.ini [Web] Port=0)."));
    } else if (!web_.failure().isEmpty()) {
        state_->setText(QStringLiteral("Stránka neběží: %1.").arg(web_.failure()));
    } else {
        state_->setText(QStringLiteral("Otevřete v prohlížeči adresu, nebo načtěte kód telefonem:"));
    }
    const QString chosen = addresses_->currentText();
    addresses_->clear();
    addresses_->addItems(list);
    addresses_->setVisible(!list.isEmpty());
    if (list.contains(chosen)) addresses_->setCurrentText(chosen);
    showCode();

    const std::string& url = web_.settings().publishUrl;
    if (url.empty()) {
        publishing_->setText(QStringLiteral("Zveřejnění na webu klubu: vypnuto ([Web] PublishUrl)."));
    } else {
        // The address without the password that it may carry.
        const QString shown = QUrl(QString::fromStdString(url)).toDisplayString(QUrl::RemovePassword);
        const QString state =
            web_.publishState().isEmpty() ? QStringLiteral("zatím nic") : web_.publishState();
        publishing_->setText(QStringLiteral("Zveřejnění na %1: %2.").arg(shown, state));
    }
}

void WebResultsDialog::showCode() {
    const QString address = addresses_->currentText();
    code_->setVisible(!address.isEmpty());
    if (address.isEmpty()) return;
    code_->setPixmap(QPixmap::fromImage(qrCodeImage(address, 6)));
    code_->setToolTip(address);
}

void installWebResultsMenu(TForm1& window, WebResults& web) {
    QAction* item = window.matchMenu()->addAction(QStringLiteral("Webové výsledky…"));
    item->setObjectName(QStringLiteral("webResultsAction"));
    // Built when first asked for: the console shows without waiting for it.
    QObject::connect(item, &QAction::triggered, &window,
                     [&window, &web, dialog = QPointer<WebResultsDialog>()]() mutable {
                         if (!dialog) {
                             dialog = new WebResultsDialog(web, &window);
                             dialog->setObjectName(QStringLiteral("Webove_vysledky"));
                         }
                         dialog->open();
                     });
    QObject::connect(&web, &WebResults::statusLineChanged, &window, &TForm1::statusLineChanged);
}

} // namespace kuzelna
