#pragma once

// Real failures of file writes for tests: a full disk, a file size limit, a
// folder that refuses new files and files that refuse writes.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

inline QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

// Mounts a 64 KiB filesystem (tmpfs) on the folder, in a mount namespace
// private to the calling thread, so nothing stays mounted if the test dies.
// Mounting needs privileges: without them Mounted() is false.
class TSmallDisk
{
public:
    explicit TSmallDisk(const QString &dir) : FDir(QFile::encodeName(dir))
    {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return;
        FMounted = ::mount("tmpfs", FDir.constData(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    }
    ~TSmallDisk()
    {
        if (FMounted)
            ::umount2(FDir.constData(), MNT_DETACH);
    }
    TSmallDisk(const TSmallDisk &) = delete;
    TSmallDisk &operator=(const TSmallDisk &) = delete;

    bool Mounted() const { return FMounted; }

    // Takes every free block with the file "filler"; true when the disk is
    // full afterwards, so that a write needing a new block fails with ENOSPC.
    bool Fill() const
    {
        QFile filler(QFile::decodeName(FDir + "/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        return filler.write("f", 1) < 0;
    }

private:
    QByteArray FDir;
    bool FMounted = false;
};

// While it lives, a write that would make a file larger than maxBytes fails
// with EFBIG (the signal that would end the process is ignored meanwhile).
// Needs no privileges.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t maxBytes)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit limited = FOld;
        limited.rlim_cur = maxBytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = SIG_DFL;
};

// While it lives, the calling thread meets file permissions as an ordinary
// user does. Root ignores them, so for root the thread's file access takes
// the identity of "nobody" (65534) meanwhile, and the folder and the files in
// it are handed to that identity.
class TOrdinaryUser
{
public:
    explicit TOrdinaryUser(const QString &dir)
    {
        if (::geteuid() != 0)
            return;
        bool owned = ::chown(QFile::encodeName(dir).constData(), kNobody, kNobody) == 0;
        for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
            owned = owned && ::chown(QFile::encodeName(QDir(dir).filePath(name)).constData(), kNobody, kNobody) == 0;
        if (owned) {
            ::setfsuid(kNobody);
            ::setfsgid(kNobody);
            FSwitched = true;
        }
    }
    ~TOrdinaryUser()
    {
        if (FSwitched) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    TOrdinaryUser(const TOrdinaryUser &) = delete;
    TOrdinaryUser &operator=(const TOrdinaryUser &) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool FSwitched = false;
};

// A folder of its own with some of the faults above. Put the old files there
// first, then Start() the faults.
class TFaultyFolder
{
public:
    enum TFault { FullDisk = 1, SizeLimit = 2, NoNewFiles = 4, ReadOnlyFiles = 8 };
    static constexpr rlim_t kSizeLimit = 64;

    explicit TFaultyFolder(int faults) : FFaults(faults)
    {
        if (faults & FullDisk)
            FDisk = std::make_unique<TSmallDisk>(FDir.path());
    }
    ~TFaultyFolder()
    {
        FLimit.reset();
        ::chmod(Native(FDir.path()).constData(), 0755);  // so that it can be removed
    }
    TFaultyFolder(const TFaultyFolder &) = delete;
    TFaultyFolder &operator=(const TFaultyFolder &) = delete;

    QString Path(const QString &name) const { return FDir.filePath(name); }
    bool Put(const QString &name, const QByteArray &bytes) const { return WriteFile(Path(name), bytes); }

    // Sets the faults going; an empty text, or why this machine cannot have
    // them.
    QString Start()
    {
        if (FDisk && !(FDisk->Mounted() && FDisk->Fill()))
            return QStringLiteral("no full disk here: mounting a small tmpfs needs privileges");
        if (FFaults & (NoNewFiles | ReadOnlyFiles)) {
            FUser = std::make_unique<TOrdinaryUser>(FDir.path());
            if (FFaults & ReadOnlyFiles)
                for (const QString &name : Files())
                    ::chmod(Native(Path(name)).constData(), 0444);
            if (FFaults & NoNewFiles)
                ::chmod(Native(FDir.path()).constData(), 0555);
            if (!PermissionsApply())
                return QStringLiteral("file permissions do not apply here");
        }
        if (FFaults & SizeLimit)
            FLimit = std::make_unique<TFileSizeLimit>(kSizeLimit);
        return {};
    }

    // The files in the folder, but the one that fills the disk.
    QStringList Files() const
    {
        QStringList names = QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

private:
    static QByteArray Native(const QString &path) { return QFile::encodeName(path); }

    // A probe file cannot be made, or, for read-only files, opened to write.
    bool PermissionsApply() const
    {
        const QByteArray probe = Native(Path(QStringLiteral("probe")));
        const int fd = (FFaults & NoNewFiles) ? ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644)
                                              : ::open(Native(Path(Files().value(0))).constData(), O_WRONLY);
        if (fd < 0)
            return true;
        ::close(fd);
        if (FFaults & NoNewFiles)
            ::unlink(probe.constData());
        return false;
    }

    int FFaults;
    QTemporaryDir FDir;
    std::unique_ptr<TSmallDisk> FDisk;
    std::unique_ptr<TOrdinaryUser> FUser;
    std::unique_ptr<TFileSizeLimit> FLimit;
};

// The faults a file writer's test runs under: columns "faults" (for
// TFaultyFolder) and "reason", the system's reason the writer must give, or
// empty where the save must succeed (rewriting the file in place).
inline void AddSaveFaultRows()
{
    QTest::addColumn<int>("faults");
    QTest::addColumn<QString>("reason");
    using F = TFaultyFolder;
    QTest::newRow("full disk") << int(F::FullDisk) << qt_error_string(ENOSPC);
    QTest::newRow("file size limit") << int(F::SizeLimit) << qt_error_string(EFBIG);
    QTest::newRow("folder refuses new files") << int(F::NoNewFiles) << QString();
    QTest::newRow("folder refuses new files, file size limit") << int(F::NoNewFiles | F::SizeLimit)
                                                                << qt_error_string(EFBIG);
}
