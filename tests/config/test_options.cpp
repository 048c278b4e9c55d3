#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "AddrEdit.h"
#include "TestFiles.h"
#include "UiInput.h"
#include "frmOptions.h"
#include "uLPT.h"
#include "uUserPrefs.h"

namespace {

void SetDefaultTable()
{
    LptResetState();
    const std::uint16_t defaults[8] = {888, 632, 956, 0, 0, 0, 0, 0};
    for (int n = 1; n <= 8; ++n)
        LptPorts[n].Address = defaults[n - 1];
}

QStringList Texts(const TfmOptions& dlg)
{
    QStringList texts;
    for (int n = 1; n <= 8; ++n)
        texts << dlg.edLPTAddr(n)->Text();
    return texts;
}

std::array<unsigned, 8> Addresses()
{
    std::array<unsigned, 8> a{};
    for (int n = 1; n <= 8; ++n)
        a[std::size_t(n - 1)] = LptPorts[n].Address;
    return a;
}

// Runs ShowOptionsDialog; once it is shown, act receives it and must close it.
void WithModalDialog(const std::function<void(TfmOptions&)>& act)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TfmOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        ran = true;
        act(*dlg);
    });
    ShowOptionsDialog(nullptr);
    EXPECT_TRUE(ran);
}

class Options : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultTable();
        PortAddrShowHexa = false;
    }
    void TearDown() override
    {
        LptResetState();
        PortAddrShowHexa = false;
    }
};

TEST(AddrEditForms, TextsAndValues)
{
    EXPECT_EQ(AddrDecimalText(888), "888");
    EXPECT_EQ(AddrDecimalText(-5), "-5");
    EXPECT_EQ(AddrHexText(0x3BC), "0x3BC");
    EXPECT_EQ(AddrHexText(0), "0x0");
    EXPECT_EQ(AddrHexText(-1), "0xFFFFFFFF");
    struct Row {
        const char* text;
        std::int32_t asInteger, asHex;
    };
    const Row rows[] = {
        {"888", 888, 0x8},      {"0x378", 888, 0x378}, {"0X378", 888, 0x378},
        {" $3bc ", 956, 0},     {"x10", 16, 0},        {"-1", -1, 0},
        {"", 0, 0},             {"0x", 0, 0},          {"abc", 0, 0xC},
        {"0xzz", 0, 0},         {"99999", 99999, 0x999}, {"0x12345", 0x12345, 0x12345},
        {"-0x5", 0, 0},         {"0x123456789", 0, 0x23456789},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(AddrTextAsInteger(r.text), r.asInteger) << r.text;
        EXPECT_EQ(AddrTextAsHex(r.text), r.asHex) << r.text;
    }
}

TEST(AddrEditTyping, KeysArrowsPasteAndLeavingInEachForm)
{
    struct Row {
        const char* name;
        bool hexa;
        const char* before;
        int caret;
        std::function<void(TAddrEdit&)> keys;
        const char* after;
        int beeps;
    };
    auto type = [](const char* s) { return [s](TAddrEdit& f) { ui::Type(f.Edit(), s); }; };
    auto key = [](Qt::Key k) { return [k](TAddrEdit& f) { ui::Key(f.Edit(), k); }; };
    auto paste = [](TAddrEdit& f) { ui::Key(f.Edit(), QKeySequence::Paste); };
    auto leave = [](TAddrEdit& f) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(f.Edit(), &out);
    };
    auto up = [](TAddrEdit& f) { f.UpButton()->click(); };
    auto down = [](TAddrEdit& f) { f.DownButton()->click(); };
    QApplication::clipboard()->setText("zz!");
    const Row rows[] = {
        {"decimal digits and signs", false, "", 0, type("-12+3"), "-12+3", 0},
        {"decimal refuses letters", false, "1", 1, type("a0xF."), "10", 4},
        {"decimal refuses Enter", false, "1", 1, key(Qt::Key_Return), "1", 1},
        {"decimal refuses Enter (keypad)", false, "1", 1, key(Qt::Key_Enter), "1", 1},
        {"decimal Backspace", false, "12", 2, key(Qt::Key_Backspace), "1", 0},
        {"decimal Delete", false, "12", 0, key(Qt::Key_Delete), "2", 0},
        {"hex digits after the prefix", true, "0x", 2, type("03bcAF"), "0x03bcAF", 0},
        {"hex refuses other characters", true, "0x1", 3, type("g-+ "), "0x1", 4},
        {"hex refuses typing inside the prefix", true, "0x1", 1, type("5"), "0x1", 1},
        {"hex refuses typing before the prefix", true, "0x1", 0, type("5"), "0x1", 1},
        {"hex refuses Enter", true, "0x1", 3, key(Qt::Key_Return), "0x1", 1},
        {"hex Backspace after the prefix", true, "0x12", 4, key(Qt::Key_Backspace), "0x1", 0},
        {"hex Backspace right after the prefix", true, "0x12", 2, key(Qt::Key_Backspace),
         "0x12", 1},
        {"hex Backspace inside the prefix", true, "0x12", 1, key(Qt::Key_Backspace), "0x12", 1},
        {"hex Delete inside the prefix", true, "0x12", 1, key(Qt::Key_Delete), "0x12", 1},
        {"hex Delete at the first digit", true, "0x12", 2, key(Qt::Key_Delete), "0x2", 0},
        {"caret keys always move", true, "0x12", 0,
         [](TAddrEdit& f) {
             ui::Key(f.Edit(), Qt::Key_End);
             ui::Key(f.Edit(), Qt::Key_Left);
             ui::Key(f.Edit(), Qt::Key_Home);
         },
         "0x12", 0},
        {"decimal paste unfiltered", false, "1", 0, paste, "zz!1", 0},
        {"hex paste unfiltered", true, "0x1", 0, paste, "zz!0x1", 0},
        {"leaving a hex field rewrites it", true, "0x03bc", 6, leave, "0x3BC", 0},
        {"leaving a decimal field keeps its text", false, "007", 3, leave, "007", 0},
        // The arrows step by one, the page keys by ten in the decimal form only.
        {"decimal up arrow", false, "888", 0, up, "889", 0},
        {"decimal Down", false, "889", 0, key(Qt::Key_Down), "888", 0},
        {"decimal PageUp", false, "887", 0, key(Qt::Key_PageUp), "897", 0},
        {"decimal PageDown", false, "897", 0, key(Qt::Key_PageDown), "887", 0},
        {"decimal down arrow", false, "877", 0, down, "876", 0},
        {"text that does not convert counts as 0", false, "abc", 0, up, "1", 0},
        {"hex Up", true, "0x3BC", 0, key(Qt::Key_Up), "0x3BD", 0},
        {"hex down arrow", true, "0x3BC", 0, down, "0x3BB", 0},
        {"hex PageUp steps nothing", true, "0x3BB", 0, key(Qt::Key_PageUp), "0x3BB", 0},
        {"hex PageDown steps nothing", true, "0x3BB", 0, key(Qt::Key_PageDown), "0x3BB", 0},
        {"hex below 0", true, "0x0", 0, down, "0xFFFFFFFF", 0},
    };
    for (const Row& r : rows) {
        TAddrEdit field;
        int beeps = 0;
        QObject::connect(&field, &TAddrEdit::keyRefused, [&] { ++beeps; });
        if (r.hexa)
            field.SetHexa(0);
        else
            field.SetDecimal(0);
        field.Edit()->setText(r.before);
        field.Edit()->setCursorPosition(r.caret);
        r.keys(field);
        EXPECT_EQ(field.Text(), r.after) << r.name;
        EXPECT_EQ(beeps, r.beeps) << r.name;
    }
}

TEST(AddrEditLayout, ArrowsSitSideBySideAtTheRightEnd)
{
    TAddrEdit field;
    field.resize(81, 22);
    field.show();
    EXPECT_EQ(field.UpButton()->geometry().right() + 1, field.DownButton()->geometry().left());
    EXPECT_EQ(field.DownButton()->geometry().right(), 80);
}

TEST_F(Options, LayoutAndCaptions)
{
    TfmOptions dlg;
    EXPECT_EQ(dlg.windowTitle(), "Options");
    EXPECT_EQ(dlg.size(), QSize(498, 322));
    EXPECT_EQ(dlg.pcOptions->geometry(), QRect(8, 8, 481, 265));
    EXPECT_EQ(dlg.pcOptions->count(), 1);
    EXPECT_EQ(dlg.pcOptions->tabText(0), "Ports LPT");
    EXPECT_EQ(dlg.btnOK->geometry(), QRect(320, 288, 81, 25));
    EXPECT_EQ(dlg.btnOK->text(), "OK");
    EXPECT_EQ(dlg.btnCancel->geometry(), QRect(408, 288, 81, 25));
    EXPECT_EQ(dlg.btnCancel->text(), "Annuler");
    EXPECT_FALSE(dlg.btnOK->isDefault() || dlg.btnOK->autoDefault());
    EXPECT_FALSE(dlg.btnCancel->isDefault() || dlg.btnCancel->autoDefault());
    EXPECT_EQ(dlg.cbLPTPortAddrShowHexa->geometry(), QRect(8, 216, 233, 17));
    EXPECT_EQ(dlg.cbLPTPortAddrShowHexa->text(), "Montrer les valeurs d'adresse en hexa");
    EXPECT_EQ(dlg.Label(1)->text(), "Adresse port LPT1 (par défaut = 0x378 / 888d)");
    EXPECT_EQ(dlg.Label(2)->text(), "Adresse port LPT2 (par défaut = 0x278 / 632d)");
    EXPECT_EQ(dlg.Label(3)->text(), "Adresse port LPT3 (par défaut = 0x3BC / 956d)");
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(dlg.edLPTAddr(n)->parentWidget(), dlg.tsLPTPorts);
        EXPECT_EQ(dlg.edLPTAddr(n)->geometry(), QRect(8, 16 + 24 * (n - 1), 81, 22)) << n;
        EXPECT_EQ(dlg.edLPTAddr(n)->objectName(), QString("edLPT%1Addr").arg(n));
        EXPECT_EQ(dlg.Label(n)->pos(), QPoint(104, 20 + 24 * (n - 1))) << n;
        if (n > 3) {
            EXPECT_EQ(dlg.Label(n)->text(), QString("Adresse port LPT%1").arg(n));
        }
    }
}

TEST_F(Options, OpensWithTheTableInTheFormOfTheFlag)
{
    for (bool flag : {false, true}) {
        PortAddrShowHexa = flag;
        TfmOptions dlg;
        dlg.InitOptions();
        EXPECT_EQ(dlg.cbLPTPortAddrShowHexa->isChecked(), flag);
        const QStringList expected =
            flag ? QStringList{"0x378", "0x278", "0x3BC", "0x0", "0x0", "0x0", "0x0", "0x0"}
                 : QStringList{"888", "632", "956", "0", "0", "0", "0", "0"};
        EXPECT_EQ(Texts(dlg), expected) << flag;

        // Two clicks on the box bring every text back.
        dlg.show();
        ui::Click(dlg.cbLPTPortAddrShowHexa);
        EXPECT_EQ(dlg.edLPTAddr(1)->Text(), flag ? "888" : "0x378");
        ui::Click(dlg.cbLPTPortAddrShowHexa);
        EXPECT_EQ(Texts(dlg), expected);
    }
}

TEST_F(Options, TypedValuesAreStoredByTheirLow16Bits)
{
    WithModalDialog([](TfmOptions& dlg) {
        auto retype = [](TAddrEdit* f, const char* keys) {
            f->Edit()->selectAll();
            ui::Key(f->Edit(), Qt::Key_Backspace);
            ui::Type(f->Edit(), keys);
        };
        retype(dlg.edLPTAddr(1), "99999");
        retype(dlg.edLPTAddr(2), "-1");
        retype(dlg.edLPTAddr(3), "");
        retype(dlg.edLPTAddr(4), "12a3"); // the letter is refused
        ui::Click(dlg.btnOK);
    });
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{34463, 65535, 0, 123, 0, 0, 0, 0}));
    EXPECT_FALSE(PortAddrShowHexa);

    PortAddrShowHexa = true;
    WithModalDialog([](TfmOptions& dlg) {
        TAddrEdit* f = dlg.edLPTAddr(5);
        EXPECT_EQ(f->Text(), "0x0");
        f->Edit()->setCursorPosition(3);
        ui::Key(f->Edit(), Qt::Key_Backspace);
        ui::Type(f->Edit(), "12345");
        ui::Click(dlg.btnOK);
    });
    EXPECT_EQ(LptPorts[5].Address, 9029u);
    EXPECT_TRUE(PortAddrShowHexa);
}

TEST_F(Options, CancelAndTheCloseBoxKeepEverything)
{
    LptPorts[2].Detected = true;
    for (int way = 0; way < 2; ++way) {
        WithModalDialog([way](TfmOptions& dlg) {
            dlg.edLPTAddr(1)->Edit()->setText("5");
            dlg.cbLPTPortAddrShowHexa->click();
            if (way == 0)
                ui::Click(dlg.btnCancel);
            else
                dlg.close();
        });
        EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{888, 632, 956, 0, 0, 0, 0, 0}));
        EXPECT_FALSE(PortAddrShowHexa);
        WithModalDialog([](TfmOptions& dlg) {
            EXPECT_EQ(Texts(dlg), (QStringList{"888", "632", "956", "0", "0", "0", "0", "0"}));
            dlg.reject();
        });
    }
    EXPECT_TRUE(LptPorts[2].Detected);
}

TEST_F(Options, EnterAndEscapePressNeitherButton)
{
    WithModalDialog([](TfmOptions& dlg) {
        dlg.edLPTAddr(1)->Edit()->setText("5");
        ui::Key(&dlg, Qt::Key_Escape);
        ui::Key(&dlg, Qt::Key_Return);
        ui::Key(dlg.edLPTAddr(1)->Edit(), Qt::Key_Escape);
        ui::Key(dlg.edLPTAddr(1)->Edit(), Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        dlg.reject();
    });
    EXPECT_EQ(LptPorts[1].Address, 888u);
}

TEST_F(Options, TheBoxAloneChangesOnlyTheFlagWhichTheCloseSaves)
{
    LptPorts[1].Detected = true;
    WithModalDialog([](TfmOptions& dlg) {
        ui::Click(dlg.cbLPTPortAddrShowHexa);
        ui::Click(dlg.btnOK);
    });
    EXPECT_TRUE(PortAddrShowHexa);
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{888, 632, 956, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(LptPorts[1].Detected);
    WithModalDialog([](TfmOptions& dlg) {
        EXPECT_TRUE(dlg.cbLPTPortAddrShowHexa->isChecked());
        EXPECT_EQ(dlg.edLPTAddr(3)->Text(), "0x3BC");
        dlg.reject();
    });
    TempDir dir;
    const std::string path = dir.File("tamsel.ini");
    WriteFile(path, DefaultUserPrefsText());
    SaveUserPrefs(path);
    EXPECT_NE(ReadFile(path).find("\r\nLPT008Addr=0\r\nLPTPortAddrShowHexa=1\r\n"),
              std::string::npos);
}

} // namespace
