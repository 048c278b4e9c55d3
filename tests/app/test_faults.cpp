// The whole program on the bench while the platform fails: port accesses refused everywhere or
// only during detection, and the preferences file behind a file layer that refuses to create,
// fills up at a chosen write or stops between the temporary file and the rename. The file is
// always either its old self or the complete new text, and the program goes on.
#include <QDir>
#include <algorithm>
#include <cerrno>

#include "WindowFixture.h"

namespace {

// A process stopped in the middle of a save.
struct SimulatedCrash {};

// The host's file system with chosen failures.
class FaultFs final : public RealProfileFs {
public:
    bool RefuseCreate = false;  // the directory takes no new file
    bool FileReadOnly = false;  // the preferences file itself may not be written
    int FailAtWrite = 0;        // the Nth write call (1-based) writes half and fails; 0 never
    bool CrashBeforeRename = false;
    int Writes = 0;

    ProfileFileState Stat(const std::string& path) override
    {
        ProfileFileState s = RealProfileFs::Stat(path);
        if (FileReadOnly)
            s.Writable = false;
        return s;
    }
    std::unique_ptr<ProfileWriter> CreateNew(const std::string& path, int& err) override
    {
        if (RefuseCreate) {
            err = EACCES;
            return nullptr;
        }
        return Wrap(RealProfileFs::CreateNew(path, err));
    }
    std::unique_ptr<ProfileWriter> OpenTruncate(const std::string& path, int& err) override
    {
        if (FileReadOnly) {
            err = EACCES;
            return nullptr;
        }
        return Wrap(RealProfileFs::OpenTruncate(path, err));
    }
    bool Rename(const std::string& from, const std::string& to, int& err) override
    {
        if (CrashBeforeRename)
            throw SimulatedCrash{};
        return RealProfileFs::Rename(from, to, err);
    }

private:
    class Writer final : public ProfileWriter {
    public:
        Writer(FaultFs& fs, std::unique_ptr<ProfileWriter> inner) : fs_(fs), inner_(std::move(inner)) {}
        bool Write(const char* data, std::size_t size) override
        {
            if (++fs_.Writes == fs_.FailAtWrite) {
                inner_->Write(data, size / 2); // the disk fills up part way
                error_ = ENOSPC;
                return false;
            }
            return inner_->Write(data, size);
        }
        bool Close() override { return inner_->Close() && error_ == 0; }
        int Error() const override { return error_ ? error_ : inner_->Error(); }

    private:
        FaultFs& fs_;
        std::unique_ptr<ProfileWriter> inner_;
        int error_ = 0;
    };

    std::unique_ptr<ProfileWriter> Wrap(std::unique_ptr<ProfileWriter> inner)
    {
        if (!inner)
            return nullptr;
        return std::make_unique<Writer>(*this, std::move(inner));
    }
};

// The engine, noting the file's content after each write it reports as done.
class RecordingProfile final : public PrivateProfile {
public:
    RecordingProfile(PrivateProfile& inner, std::string path) : inner_(inner), path_(std::move(path)) {}
    std::vector<std::string> States;

    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override
    {
        return inner_.ReadString(file, section, key, defaultValue);
    }
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        const bool ok = inner_.WriteString(file, section, key, value);
        if (ok)
            States.push_back(ReadFile(path_));
        return ok;
    }

private:
    PrivateProfile& inner_;
    std::string path_;
};

class FaultTest : public WindowFixture {
protected:
    void TearDown() override
    {
        UseUserPrefsStorage(nullptr, nullptr);
        WindowFixture::TearDown();
    }

    // Saves through the fault layer, with the engine the program uses over it.
    void UseFaults() { UseUserPrefsStorage(&engine, &faults); }

    // The files of the preferences directory other than the executable's stand-in.
    QStringList DirEntries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    FaultFs faults;
    ProfileEngine engine{faults};
};

// An old file the save must change: a comment, a custom address and no test entry.
const std::string kOldPrefs = "; kept\r\n[LptPortAddr]\r\nLPT001Addr=$378\r\nLPT002Addr=632\r\n";

TEST_F(FaultTest, EveryAccessFailingFromStartUpToCloseLeavesTheProgramRunning)
{
    bench.Port().FailAllAccesses(true);
    TfmMain& w = Start();
    EXPECT_FALSE(LptPorts[1].Detected);
    const auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().text, "Fin de recherche des ports parallèles disponibles, 0 port parallèle trouvé.");

    // The user picks the port anyway, opens it, reads in a loop, writes and closes.
    w.CheckAndExecuteLptAction(1);
    DuringLoop([&](int cycle) {
        if (cycle == 2)
            w.ActLPTWriteExecute(w.ActLPTWrite);
        if (cycle == 5)
            StopRequested = true;
    });
    w.ActLptOpenExecute(w.ActLptOpen);
    EXPECT_FALSE(LoopRunning);
    if (PortOpen)
        w.ActLptCloseExecute(w.ActLptClose);
    EXPECT_FALSE(PortOpen);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FaultTest, AccessesFailingWhileThePortIsOpenAreDroppedAndTheLoopGoesOn)
{
    TfmMain& w = Start();
    ASSERT_TRUE(LptPorts[1].Detected);
    bool openAtFailure = false;
    DuringLoop([&](int cycle) {
        if (cycle == 2) {
            openAtFailure = PortOpen;
            bench.Port().FailAllAccesses(true);
        }
        if (cycle == 4)
            w.ActLPTWriteExecute(w.ActLPTWrite);
        if (cycle == 6) {
            EXPECT_TRUE(w.close()); // closes the port, saves, ends the loop
        }
    });
    w.ActLptOpenExecute(w.ActLptOpen);
    EXPECT_TRUE(openAtFailure);
    EXPECT_EQ(cycles, 6);
    EXPECT_FALSE(LoopRunning);
    EXPECT_FALSE(PortOpen);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FaultTest, AccessesFailingOnlyDuringDetectionFindNoPortThenTheBenchWorks)
{
    bench.Port().FailAllAccesses(true);
    TfmMain& w = Start();
    bench.Port().FailAllAccesses(false);
    EXPECT_FALSE(LptPorts[1].Detected);
    EXPECT_FALSE(w.ActLPT[1]->isEnabled());
    // The next detection, at the next start, finds the port again.
    EXPECT_TRUE(w.close());
    Reload();
    Start();
    EXPECT_TRUE(LptPorts[1].Detected);
    EXPECT_EQ(SelectedAddress, 888);
}

// Each save below starts from kOldPrefs; the texts the file may hold are the old one and the
// one after each key write of a save that nothing disturbs.
class SaveFaultTest : public FaultTest {
protected:
    std::vector<std::string> SaveSteps(TfmMain& w)
    {
        WriteFile(IniPath(), kOldPrefs);
        RecordingProfile recording(DefaultProfile(), IniPath());
        UseUserPrefsStorage(&recording, nullptr);
        EXPECT_TRUE(w.FormCloseQuery());
        UseFaults();
        std::vector<std::string> steps{kOldPrefs};
        steps.insert(steps.end(), recording.States.begin(), recording.States.end());
        return steps;
    }
    std::string CompleteSave(TfmMain& w) { return SaveSteps(w).back(); }
};

TEST_F(SaveFaultTest, ADiskFullAtAnyWriteLeavesTheOldFileOrTheNewOneAndNothingBeside)
{
    TfmMain& w = Start();
    const std::vector<std::string> steps = SaveSteps(w);
    const std::string complete = steps.back();
    ASSERT_GE(steps.size(), 10u); // the test write, eight addresses and the flag
    const QStringList entries = DirEntries();

    // A writable directory, then a read-only one, where the file is rewritten in place.
    for (bool refuseCreate : {false, true}) {
        int skipped = 0, abandoned = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE(testing::Message() << "write " << n << (refuseCreate ? ", read-only directory" : ""));
            WriteFile(IniPath(), kOldPrefs);
            faults = FaultFs{};
            faults.RefuseCreate = refuseCreate;
            faults.FailAtWrite = n;
            errors.clear();
            const bool closed = w.FormCloseQuery();
            const std::string now = ReadFile(IniPath());
            EXPECT_EQ(DirEntries(), entries); // no temporary file left behind
            if (faults.Writes < n) { // the save ended before the Nth write: complete
                EXPECT_TRUE(closed);
                EXPECT_EQ(now, complete);
                EXPECT_TRUE(errors.empty());
                break;
            }
            if (closed) { // the test write failed: skipped silently
                EXPECT_TRUE(errors.empty());
                EXPECT_EQ(now, kOldPrefs);
                ++skipped;
            } else {
                ASSERT_EQ(errors.size(), 1u);
                EXPECT_EQ(errors[0], "Impossible d'écrire dans " + IniPath());
                // The keys written before the failure stand: the file is one of the save's
                // whole steps, never a cut one.
                EXPECT_NE(std::find(steps.begin(), steps.end(), now), steps.end()) << now;
                ++abandoned;
            }
            ASSERT_LT(n, 1000);
        }
        EXPECT_GE(skipped, 1);
        EXPECT_GE(abandoned, 1);
    }
}

TEST_F(SaveFaultTest, AReadOnlyFileSkipsTheSaveSilentlyAndTheWindowCloses)
{
    TfmMain& w = Start();
    WriteFile(IniPath(), kOldPrefs);
    UseFaults();
    faults.FileReadOnly = true;
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ReadFile(IniPath()), kOldPrefs);
}

TEST_F(SaveFaultTest, AReadOnlyDirectoryAndFileSkipTheSaveAndAMissingFileStaysMissing)
{
    QDir(dir.path()).remove("tamsel-demo.ini");
    UseFaults();
    faults.RefuseCreate = true;
    TfmMain& w = Start(); // the file cannot be created: no port is searched
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(IniPath())));
    EXPECT_FALSE(LptPorts[1].Detected);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(IniPath())));
}

TEST_F(SaveFaultTest, ACrashBeforeTheRenameLeavesTheOldFileAndTheNextSaveCompletesIt)
{
    TfmMain& w = Start();
    const std::string complete = CompleteSave(w);
    WriteFile(IniPath(), kOldPrefs);
    WriteFile(IniPath() + ".tmp", "the user's own");
    const QStringList entries = DirEntries();
    faults = FaultFs{};
    faults.CrashBeforeRename = true;
    EXPECT_THROW(SaveUserPrefs(PrefsFileName), SimulatedCrash);
    EXPECT_EQ(ReadFile(IniPath()), kOldPrefs);
    EXPECT_EQ(DirEntries().size(), entries.size() + 1); // the stray temporary file
    // It neither disturbs the next run's save nor outlives it.
    faults.CrashBeforeRename = false;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ReadFile(IniPath()), complete);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(DirEntries(), entries);
    EXPECT_EQ(ReadFile(IniPath() + ".tmp"), "the user's own");
}

} // namespace
