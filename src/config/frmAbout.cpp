#include "frmAbout.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "AppPictures.h"
#include "ScrollText.h"
#include "VersionInfo.h"

namespace {

const QColor kValueColor(0, 128, 0);
const QColor kThanksColor(0, 0, 255);

// A label drawn raised: a light copy above left and a dark one below right of the text.
class RaisedLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        const QRect r = contentsRect();
        const Qt::Alignment a = alignment();
        p.setPen(QColor(255, 255, 255));
        p.drawText(r.translated(-1, -1), int(a), text());
        p.setPen(QColor(128, 128, 128));
        p.drawText(r.translated(1, 1), int(a), text());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, int(a), text());
    }
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SetTextColor(QWidget* w, const QColor& color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    w->setPalette(pal);
}

QFrame* MakeBevel(QWidget* parent, const char* name, int x, int y, int width)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(name);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(x, y, width, 2);
    return bevel;
}

} // namespace

TfmAbout::TfmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("fmAbout");
    setWindowTitle("A propos...");
    QFont arial("Arial");
    arial.setPointSize(8);
    setFont(arial);
    setFixedSize(305, 193);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(MarbleImage())));
    setPalette(pal);
    setAutoFillBackground(true);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(16, 16, 32, 32);
    ProgramIcon->setScaledContents(true);

    QFont title("Arial");
    title.setPixelSize(24);
    title.setBold(true);
    lblTitle1 = new RaisedLabel("Tam", this);
    lblTitle1->setObjectName("lblTitle1");
    lblTitle1->setGeometry(144, 8, 98, 33);
    lblTitle1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblTitle2 = new RaisedLabel("sel", this);
    lblTitle2->setObjectName("lblTitle2");
    lblTitle2->setGeometry(240, 8, 53, 33);
    lblTitle2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel* l : {lblTitle1, lblTitle2})
        l->setFont(title);
    SetTextColor(lblTitle1, Qt::black);
    SetTextColor(lblTitle2, QColor(255, 0, 0));

    Label2 = new QLabel(QString::fromUtf8("Testeur entrées / sortie port parallèle"), this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(111, 40, 178, 14);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Bevel2 = MakeBevel(this, "Bevel2", 16, 56, 273);

    const QPixmap bullet = QPixmap::fromImage(RedBulletImage());
    QLabel** images[3] = {&Image1, &Image2, &Image3};
    for (int i = 0; i < 3; ++i) {
        QLabel* image = new QLabel(this);
        image->setObjectName(QString("Image%1").arg(i + 1));
        image->setGeometry(16, 72 + 16 * i, 12, 12);
        image->setPixmap(bullet);
        *images[i] = image;
    }

    Version = MakeLabel(this, "Version", "Version :", 32, 72);
    Copyright = MakeLabel(this, "Copyright", "Copyright :", 32, 88);
    Comments = MakeLabel(this, "Comments", "Commentaires :", 32, 104);

    const VersionInfo& info = ProgramVersionInfo();
    QLabel** values[3] = {&lblVersionValue, &lblCopyrightValue, &lblCommentsValue};
    const char* names[3] = {"lblVersionValue", "lblCopyrightValue", "lblCommentsValue"};
    const char* keys[3] = {kVersionProductVersion, kVersionLegalCopyright, kVersionComments};
    for (int i = 0; i < 3; ++i) {
        QLabel* value = new QLabel(QString::fromStdString(info.Value(keys[i])), this);
        value->setObjectName(names[i]);
        value->setGeometry(112, 72 + 16 * i, 177, 16);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop); // on its caption's line, not below
        value->setFont(arial);
        SetTextColor(value, kValueColor);
        *values[i] = value;
    }

    Bevel1 = MakeBevel(this, "Bevel1", 8, 136, 289);
    lblThanks = MakeLabel(this, "lblThanks", "Remerciements", 8, 144);

    stThanks = new TScrollText(this);
    stThanks->setObjectName("stThanks");
    stThanks->setGeometry(8, 160, 200, 25);
    stThanks->setFont(arial);
    stThanks->SetColor(kThanksColor);
    stThanks->SetText(QString::fromUtf8("Merci à l'auteur du pilote d'E/S zlportio !"));

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(216, 160, 81, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TfmAbout::FormCreate()
{
    stThanks->Start();
    ProgramIcon->setPixmap(TamselIcon().pixmap(32, 32));
}

void TfmAbout::FormClose() { stThanks->Stop(); }

void TfmAbout::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void ShowAboutDialog(QWidget* owner)
{
    TfmAbout about(owner);
    about.exec();
}
