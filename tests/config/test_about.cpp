#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "AppPictures.h"
#include "ScrollText.h"
#include "UiInput.h"
#include "VersionInfo.h"
#include "frmAbout.h"
#include "uShell.h"

namespace {

TEST(ScrollFormula, PositionsOfOnePass)
{
    // Area 25 high, text 14 high: from just below the bottom to just above the top.
    struct Row {
        int step, y;
    };
    const Row rows[] = {{0, 25}, {1, 25}, {50, 6}, {99, -14}, {100, -14}, {101, -14}};
    for (const Row& r : rows)
        EXPECT_EQ(ScrollTextY(25, 14, r.step), r.y) << r.step;
    EXPECT_EQ(ScrollTextY(25, 13, 50), 6);   // 19 rounded, minus 13
    EXPECT_EQ(ScrollTextY(25, 16, 3), 24);   // 39.77 rounds to 40
    EXPECT_EQ(ScrollTextY(25, 15, 101), -15); // -0.4 rounds to 0
}

TEST(ScrollText, TicksOfTheWindowsThanksLine)
{
    TfmAbout about;
    TScrollText* s = about.stThanks;
    const int a = s->height(), t = s->TextHeight();
    EXPECT_TRUE(s->Running());
    EXPECT_EQ(s->Interval(), 100);
    EXPECT_EQ(s->Step(), 0);
    EXPECT_EQ(s->TextY(), a) << "starts just below the bottom edge";
    s->Tick();
    EXPECT_EQ(s->Step(), 1);
    EXPECT_EQ(s->TextY(), ScrollTextY(a, t, 1));
    for (int k = 2; k <= 50; ++k)
        s->Tick();
    EXPECT_EQ(s->TextY(), ScrollTextY(a, t, 50));
    for (int k = 51; k <= 100; ++k)
        s->Tick();
    EXPECT_EQ(s->TextY(), -t) << "just above the top edge";
    s->Tick();
    EXPECT_EQ(s->Step(), 0) << "a pass takes 101 ticks";
    EXPECT_EQ(s->TextY(), ScrollTextY(a, t, 101));
    s->Tick();
    EXPECT_EQ(s->Step(), 1);

    about.reject();
    EXPECT_FALSE(s->Running()) << "the close stops the scrolling";

    TfmAbout second;
    EXPECT_EQ(second.stThanks->Step(), 0);
    EXPECT_EQ(second.stThanks->TextY(), a) << "a new opening starts from the bottom";
}

TEST(ScrollText, TheTimerDrivesIt)
{
    TScrollText s;
    s.resize(200, 25);
    s.Start();
    // Two ticks of the timer, however late a busy machine lets them come (its period is
    // checked above).
    for (int waited = 0; waited < 10000 && s.Step() < 2; waited += 50)
        ui::Wait(50);
    EXPECT_GE(s.Step(), 2);
    s.Stop();
}

TEST(AboutWindow, ControlsAndValues)
{
    TfmAbout about;
    EXPECT_EQ(about.windowTitle(), "A propos...");
    EXPECT_EQ(about.size(), QSize(305, 193));
    EXPECT_EQ(about.lblVersionValue->text(), "2.0.0.0");
    EXPECT_EQ(about.lblCommentsValue->text(), "Freeware");
    EXPECT_EQ(about.lblCopyrightValue->text(),
              QString::fromStdString(ProgramVersionInfo().Value(kVersionLegalCopyright)));
    EXPECT_FALSE(about.lblCopyrightValue->text().isEmpty());
    EXPECT_EQ(ProgramVersionInfo().Value(kVersionFileDescription), "Testeur port parallèle");
    EXPECT_EQ(ProgramVersionInfo().Value(kVersionProductName), "Tamsel");
    EXPECT_EQ(about.lblTitle1->text() + about.lblTitle2->text(), "Tamsel");
    EXPECT_EQ(about.lblTitle1->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(about.lblTitle2->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(about.lblTitle1->font().pixelSize(), 24);
    EXPECT_TRUE(about.lblTitle2->font().bold());
    EXPECT_EQ(about.Label2->text(), "Testeur entrées / sortie port parallèle");
    EXPECT_EQ(about.Version->text(), "Version :");
    EXPECT_EQ(about.Copyright->text(), "Copyright :");
    EXPECT_EQ(about.Comments->text(), "Commentaires :");
    EXPECT_EQ(about.lblThanks->text(), "Remerciements");
    EXPECT_EQ(about.btnOK->text(), "OK");
    EXPECT_TRUE(about.btnOK->isDefault());

    struct Row {
        QWidget* w;
        QRect geometry;
    };
    const Row rows[] = {
        {about.ProgramIcon, {16, 16, 32, 32}},   {about.lblTitle1, {144, 8, 98, 33}},
        {about.lblTitle2, {240, 8, 53, 33}},     {about.Label2, {111, 40, 178, 14}},
        {about.Image1, {16, 72, 12, 12}},        {about.Image2, {16, 88, 12, 12}},
        {about.Image3, {16, 104, 12, 12}},       {about.lblVersionValue, {112, 72, 177, 16}},
        {about.lblCopyrightValue, {112, 88, 177, 16}},
        {about.lblCommentsValue, {112, 104, 177, 16}},
        {about.stThanks, {8, 160, 200, 25}},     {about.btnOK, {216, 160, 81, 25}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.w->geometry(), r.geometry) << r.w->objectName().toStdString();
    EXPECT_EQ(about.Version->pos(), QPoint(32, 72));
    EXPECT_EQ(about.Comments->pos(), QPoint(32, 104));
    EXPECT_EQ(about.lblThanks->pos(), QPoint(8, 144));
    EXPECT_EQ(about.Bevel2->geometry().topLeft(), QPoint(16, 56));
    EXPECT_EQ(about.Bevel2->width(), 273);
    EXPECT_EQ(about.Bevel1->geometry().topLeft(), QPoint(8, 136));
    EXPECT_EQ(about.Bevel1->width(), 289);
    for (QLabel* v : {about.lblVersionValue, about.lblCopyrightValue, about.lblCommentsValue})
        EXPECT_EQ(v->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    // A value stands on its caption's line: the black caption and the green value, neither
    // with a descender, end on the same pixel row.
    const QImage shown = about.grab().toImage();
    const auto lastRow = [&shown](int left, int right, int top, bool green) {
        int last = -1;
        for (int y = top; y < top + 16; ++y)
            for (int x = left; x < right; ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (green ? c.green() - c.red() > 60 : qGray(c.rgb()) < 100)
                    last = y;
            }
        return last;
    };
    for (QLabel* caption : {about.Version, about.Comments}) {
        const int y = caption->y();
        const int captionRow = lastRow(32, 110, y, false);
        EXPECT_GT(captionRow, y) << caption->text().toStdString();
        EXPECT_EQ(lastRow(112, 289, y, true), captionRow) << caption->text().toStdString();
    }
    EXPECT_FALSE(about.ProgramIcon->pixmap().isNull());
}

TEST(AboutWindow, MissingVersionValuesLeaveTheLabelsEmpty)
{
    struct NoRecord final : VersionInfo {
        std::string Value(const std::string&) const override { return {}; }
    } none;
    UseVersionInfo(&none);
    TfmAbout about;
    UseVersionInfo(nullptr);
    EXPECT_TRUE(about.lblVersionValue->text().isEmpty());
    EXPECT_TRUE(about.lblCopyrightValue->text().isEmpty());
    EXPECT_TRUE(about.lblCommentsValue->text().isEmpty());
}

TEST(AboutWindow, ShownModallyAndClosedByOkOrEnter)
{
    for (int way = 0; way < 2; ++way) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<TfmAbout*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            ran = true;
            if (way == 0)
                ui::Click(about->btnOK);
            else
                ui::Key(about, Qt::Key_Return);
            if (about->isVisible())
                about->reject(); // keeps the test from hanging; the checks below fail
        });
        ShowAboutDialog(nullptr);
        EXPECT_TRUE(ran);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(Pictures, OurOwnDrawings)
{
    const QImage marble = MarbleImage();
    EXPECT_EQ(marble.size(), QSize(245, 331));
    int lightest = 0, darkest = 255;
    for (int y = 0; y < marble.height(); y += 7)
        for (int x = 0; x < marble.width(); x += 7) {
            const int g = qGray(marble.pixel(x, y));
            lightest = std::max(lightest, g);
            darkest = std::min(darkest, g);
        }
    EXPECT_GE(darkest, 170) << "a light grey";
    EXPECT_GT(lightest - darkest, 15) << "with veins";
    // Copies side by side meet without a seam: the last column runs on into the first as
    // smoothly as any column into the next.
    double across = 0, seam = 0;
    for (int y = 0; y < marble.height(); ++y) {
        for (int x = 0; x + 1 < marble.width(); ++x)
            across += std::abs(qGray(marble.pixel(x, y)) - qGray(marble.pixel(x + 1, y)));
        seam += std::abs(qGray(marble.pixel(marble.width() - 1, y)) - qGray(marble.pixel(0, y)));
    }
    across /= double(marble.height()) * (marble.width() - 1);
    seam /= marble.height();
    EXPECT_LT(seam, 1.5 * across) << "seam " << seam << ", columns " << across;

    const QImage bullet = RedBulletImage();
    EXPECT_EQ(bullet.size(), QSize(12, 12));
    const QColor centre = bullet.pixelColor(5, 5);
    EXPECT_GT(centre.red(), 150);
    EXPECT_LT(centre.green(), 60);

    const QIcon icon = TamselIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}

TEST(Readme, PathAndOpening)
{
    EXPECT_EQ(ReadmePath("/opt/tamsel/"), "/opt/tamsel/A_Lire.txt");
    EXPECT_EQ(ReadmePath("D:\\Bench\\"), "D:\\Bench\\A_Lire.txt");

    // The shell's answer is the result.
    for (const bool answer : {false, true}) {
        std::vector<QUrl> opened;
        SetDocumentOpener([&](const QUrl& url) {
            opened.push_back(url);
            return answer;
        });
        EXPECT_EQ(ShellOpenFile("/opt/tamsel/A_Lire.txt", kShowNormal), answer);
        EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile("/opt/tamsel/A_Lire.txt")});
    }
    SetDocumentOpener({});
#ifdef _WIN32
    // The shell itself answers 32 or less for a file that is not there.
    EXPECT_FALSE(ShellOpenFile("C:\\nowhere\\A_Lire.txt", kShowNormal));
#endif
}

} // namespace
