#include "frmOptions.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "AddrEdit.h"
#include "uLPT.h"
#include "uUserPrefs.h"

namespace {

const char* const kLabelCaptions[8] = {
    "Adresse port LPT1 (par défaut = 0x378 / 888d)",
    "Adresse port LPT2 (par défaut = 0x278 / 632d)",
    "Adresse port LPT3 (par défaut = 0x3BC / 956d)",
    "Adresse port LPT4",
    "Adresse port LPT5",
    "Adresse port LPT6",
    "Adresse port LPT7",
    "Adresse port LPT8",
};

} // namespace

TfmOptions::TfmOptions(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("fmOptions");
    setWindowTitle("Options");
    setFont(QFont("MS Sans Serif", 8));
    setFixedSize(498, 322);
    move(381, 220);

    pcOptions = new QTabWidget(this);
    pcOptions->setObjectName("pcOptions");
    pcOptions->setGeometry(8, 8, 481, 265);
    tsLPTPorts = new QWidget;
    tsLPTPorts->setObjectName("tsLPTPorts");
    pcOptions->addTab(tsLPTPorts, "Ports LPT");

    for (int n = 1; n <= 8; ++n) {
        auto* field = new TAddrEdit(tsLPTPorts);
        field->setObjectName(QString("edLPT%1Addr").arg(n));
        field->setGeometry(8, 16 + 24 * (n - 1), 81, 22);
        fields_[std::size_t(n - 1)] = field;
        auto* label = new QLabel(QString::fromUtf8(kLabelCaptions[n - 1]), tsLPTPorts);
        label->setObjectName(QString("Label%1").arg(n));
        label->move(104, 20 + 24 * (n - 1));
        label->adjustSize();
        labels_[std::size_t(n - 1)] = label;
    }

    cbLPTPortAddrShowHexa =
        new QCheckBox(QString::fromUtf8("Montrer les valeurs d'adresse en hexa"), tsLPTPorts);
    cbLPTPortAddrShowHexa->setObjectName("cbLPTPortAddrShowHexa");
    cbLPTPortAddrShowHexa->setGeometry(8, 216, 233, 17);
    // A change of the checked state, by the user or by LoadOptions, runs the click event.
    connect(cbLPTPortAddrShowHexa, &QCheckBox::toggled, this,
            &TfmOptions::cbLPTPortAddrShowHexaClick);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(320, 288, 81, 25);
    btnCancel = new QPushButton("Annuler", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(408, 288, 81, 25);
    for (QPushButton* b : {btnOK, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(btnOK, &QPushButton::clicked, this, &TfmOptions::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmOptions::InitOptions()
{
    LoadOptions();
    UpdateAddrDisplay();
}

void TfmOptions::LoadOptions()
{
    cbLPTPortAddrShowHexa->setChecked(PortAddrShowHexa);
    for (int n = 1; n <= 8; ++n) {
        edLPTAddr(n)->SetDecimal(LptPorts[n].Address);
        edLPTAddr(n)->SetHexa(LptPorts[n].Address);
    }
}

void TfmOptions::UpdateAddrDisplay()
{
    for (TAddrEdit* field : fields_) {
        if (cbLPTPortAddrShowHexa->isChecked())
            field->SetHexa(field->AsInteger());
        else
            field->SetDecimal(field->AsHex());
    }
}

void TfmOptions::StoreOptions()
{
    PortAddrShowHexa = cbLPTPortAddrShowHexa->isChecked();
    for (int n = 1; n <= 8; ++n)
        LptPorts[n].Address =
            static_cast<std::uint16_t>(static_cast<std::uint32_t>(edLPTAddr(n)->AsInteger()));
}

void TfmOptions::btnOKClick()
{
    StoreOptions();
    accept();
}

void TfmOptions::cbLPTPortAddrShowHexaClick() { UpdateAddrDisplay(); }

void TfmOptions::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void ShowOptionsDialog(QWidget* owner)
{
    TfmOptions dialog(owner);
    dialog.InitOptions();
    dialog.exec();
}
