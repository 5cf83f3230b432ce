#pragma once

// Real failures of file writes for tests: a full disk, a file size limit, and
// a folder that refuses new files.

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

// While it lives, the folder refuses new files while the files already in it
// stay writable. Root ignores folder permissions, so for root the calling
// thread's file access takes the identity of "nobody" (65534) meanwhile, and
// the folder and its files are handed to that identity. Active() is false
// where the refusal cannot be had.
class TNoNewFiles
{
public:
    explicit TNoNewFiles(const QString &dir) : FDir(QFile::encodeName(dir))
    {
        if (::geteuid() == 0) {
            const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
            bool owned = ::chown(FDir.constData(), kNobody, kNobody) == 0;
            for (const QString &name : entries)
                owned = owned && ::chown(QFile::encodeName(QDir(dir).filePath(name)).constData(), kNobody, kNobody) == 0;
            if (!owned)
                return;
            ::setfsuid(kNobody);
            ::setfsgid(kNobody);
            FSwitched = true;
        }
        ::chmod(FDir.constData(), 0555);
        const QByteArray probe = FDir + "/probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        FActive = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
        }
    }
    ~TNoNewFiles()
    {
        ::chmod(FDir.constData(), 0755);
        if (FSwitched) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    TNoNewFiles(const TNoNewFiles &) = delete;
    TNoNewFiles &operator=(const TNoNewFiles &) = delete;

    bool Active() const { return FActive; }

private:
    static constexpr uid_t kNobody = 65534;
    QByteArray FDir;
    bool FSwitched = false;
    bool FActive = false;
};

// A folder of its own with some of the faults above. Put the old files there
// first, then Start() the faults.
class TFaultyFolder
{
public:
    enum TFault { FullDisk = 1, SizeLimit = 2, NoNewFiles = 4 };
    static constexpr rlim_t kSizeLimit = 64;

    explicit TFaultyFolder(int faults) : FFaults(faults)
    {
        if (faults & FullDisk)
            FDisk = std::make_unique<TSmallDisk>(FDir.path());
    }

    QString Path(const QString &name) const { return FDir.filePath(name); }
    bool Put(const QString &name, const QByteArray &bytes) const { return WriteFile(Path(name), bytes); }

    // Sets the faults going; an empty text, or why this machine cannot have
    // them.
    QString Start()
    {
        if (FDisk && !(FDisk->Mounted() && FDisk->Fill()))
            return QStringLiteral("no full disk here: mounting a small tmpfs needs privileges");
        if (FFaults & NoNewFiles) {
            FNoNewFiles = std::make_unique<TNoNewFiles>(FDir.path());
            if (!FNoNewFiles->Active())
                return QStringLiteral("folder permissions do not apply here");
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
    int FFaults;
    QTemporaryDir FDir;
    std::unique_ptr<TSmallDisk> FDisk;
    std::unique_ptr<TNoNewFiles> FNoNewFiles;
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
