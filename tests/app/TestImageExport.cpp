// "Save image": the file dialog, the JPEG it writes (decoded again and its
// markers read) and failed saves that must leave an existing picture alone.
#include "GraphM.h"
#include "JpegFile.h"
#include "SaveImage.h"

#include "ErrorOf.h"
#include "FileFaults.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <array>
#include <cerrno>
#include <cmath>
#include <optional>
#include <cstring>

using namespace Vantrel;

namespace {

// What a JPEG file's marker segments say about how it was coded.
struct TJpegMarkers
{
    QList<quint8> Frames;        // the n of each start-of-frame marker FFCn
    int Components = 0;          // of the first frame
    QList<QByteArray> Tables;    // 8-bit quantisation tables, zigzag order, by id
};

TJpegMarkers ReadMarkers(const QByteArray &jpeg)
{
    TJpegMarkers m;
    const auto byte = [&](qsizetype i) { return i < jpeg.size() ? quint8(jpeg[i]) : quint8(0); };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return m;
    qsizetype i = 2;
    while (i + 4 <= jpeg.size() && byte(i) == 0xFF) {
        const quint8 marker = byte(i + 1);
        const int length = byte(i + 2) << 8 | byte(i + 3);
        const qsizetype body = i + 4;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (m.Frames.isEmpty())
                m.Components = byte(body + 5);
            m.Frames << quint8(marker - 0xC0);
        } else if (marker == 0xDB) {
            for (qsizetype t = body; t + 65 <= i + 2 + length; t += 65) {
                const int id = byte(t) & 0x0F;
                if (byte(t) >> 4 != 0)
                    break; // 16-bit tables do not occur at quality 90
                m.Tables.resize(std::max<qsizetype>(m.Tables.size(), id + 1));
                m.Tables[id] = jpeg.mid(t + 1, 64);
            }
        } else if (marker == 0xDA) {
            break; // the coded picture follows
        }
        i += 2 + length;
    }
    return m;
}

// The reference luminance and chrominance tables of the JPEG standard scaled
// to a quality on the 0..100 scale, as the usual encoders do, in zigzag order.
QByteArray StandardTable(int table, int quality)
{
    static constexpr std::array<int, 64> kLuma = {
        16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57,
        69, 56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64,
        81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    static constexpr std::array<int, 64> kChroma = {
        17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
        99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
        99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
    static constexpr std::array<int, 64> kZigzag = {
        0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48,
        41, 34, 27, 20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
        30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    QByteArray t(64, 0);
    for (int k = 0; k < 64; ++k) {
        const int base = (table == 0 ? kLuma : kChroma)[size_t(kZigzag[size_t(k)])];
        t[k] = char(std::clamp((base * scale + 50) / 100, 1, 255));
    }
    return t;
}

// Peak signal-to-noise ratio of b against a over the three colour channels.
double Psnr(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d[] = {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)};
            for (int c : d)
                sum += c * c;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A graph as the main window shows one: grid, zoom text, two curves on the
// two axes and a marker.
std::unique_ptr<TGraphM> MakeGraph()
{
    auto g = std::make_unique<TGraphM>();
    g->resize(437, 263);
    g->SetMinXValue(1000000);
    g->SetMaxXValue(30000000);
    g->SetMinYValue(1);
    g->SetMaxYValue(4);
    g->SetMaxYRValue(100);
    g->SetColorGrid(QColor(0xC0, 0xC0, 0xC0));
    TCurve *swr = g->Curves()->Add();
    swr->SetColor(Qt::red);
    swr->SetThickLine(2);
    TCurve *r = g->Curves()->Add();
    r->SetColor(Qt::blue);
    r->SetAxis(axRight);
    for (int i = 0; i <= 100; ++i) {
        const double f = 1e6 + i * 2.9e5;
        const double u = (f - 14e6) / 3e6;
        swr->AddPoint(f, 1.1 + 2.5 * u * u / (1 + u * u));
        r->AddPoint(f, 50 + 40 * u / (1 + u * u));
    }
    g->SetScaleX(200);
    g->AddMarker(14e6, 1.1);
    return g;
}

// Answers the save dialog that `command` opens: in folder dir types `name`
// and accepts, or cancels when name is empty. Any other box that comes up
// (a question whether to overwrite) is counted and answered "No".
struct TDialogAnswer
{
    QStringList Filters;
    int OtherBoxes = 0;
};

TDialogAnswer Answer(const QString &dir, const QString &name, const std::function<void()> &command)
{
    TDialogAnswer answer;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            ++answer.OtherBoxes;
            box->done(QMessageBox::No);
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && dialog->isVisible()) {
            answer.Filters = dialog->nameFilters();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(dir);
            auto *typed = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(typed);
            typed->setText(name); // as the user types it
            QMetaObject::invokeMethod(dialog, "accept"); // what the Save button does
        }
    });
    poll.start();
    command();
    return answer;
}

} // namespace

class TestImageExport : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString Path(const QString &name) const { return FDir.filePath(name); }

private slots:
    void savedPictureIsTheGraphAsBaselineColourJpeg()
    {
        auto graph = MakeGraph();
        const QImage shown = graph->DrawToBitmap();
        Answer(FDir.path(), QStringLiteral("graph.jpg"), [&] { SaveGraphImage(*graph, nullptr); });

        const QByteArray file = ReadAll(Path(QStringLiteral("graph.jpg")));
        const TJpegMarkers m = ReadMarkers(file);
        QCOMPARE(m.Frames, QList<quint8>{0}); // one baseline frame: not progressive, not extended
        QCOMPARE(m.Components, 3);
        QCOMPARE(m.Tables.size(), 2);
        QCOMPARE(m.Tables[0], StandardTable(0, 90));
        QCOMPARE(m.Tables[1], StandardTable(1, 90));

        const QImage saved = QImage::fromData(file, "JPEG").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), graph->size());
        // Thin coloured lines lose most to the halved chroma; about 32 dB here.
        QVERIFY2(Psnr(shown, saved) > 27, qPrintable(QString::number(Psnr(shown, saved))));
        // The comparison can tell pictures apart: the graph without its zoom
        // is far from the saved one (about 14 dB).
        graph->SetScaleX(100);
        QVERIFY(Psnr(graph->DrawToBitmap(), saved) < 20);
    }

    void dialog_data()
    {
        QTest::addColumn<QString>("existing"); // a file there before, or none
        QTest::addColumn<QString>("typed");    // empty: cancel
        QTest::addColumn<QString>("written");  // the file that gets the picture, or none
        QTest::newRow("name without extension") << "" << "plain" << "plain.jpg";
        QTest::newRow("over an existing file") << "old.jpg" << "old.jpg" << "old.jpg";
        QTest::newRow("existing, typed without extension") << "older.jpg" << "older" << "older.jpg";
        QTest::newRow("cancel") << "kept.jpg" << "" << "";
    }

    void dialog()
    {
        QFETCH(QString, existing);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const QByteArray old("not a picture");
        if (!existing.isEmpty())
            QVERIFY(WriteFile(dir.filePath(existing), old));
        auto graph = MakeGraph();

        const TDialogAnswer answer = Answer(dir.path(), typed, [&] { SaveGraphImage(*graph, nullptr); });
        QCOMPARE(answer.Filters, QStringList{QStringLiteral("JPEG Image File (*.jpg)")});
        QCOMPARE(answer.OtherBoxes, 0);

        QStringList expected;
        if (!written.isEmpty())
            expected << written;
        if (!existing.isEmpty() && existing != written)
            expected << existing;
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
        if (!written.isEmpty())
            QCOMPARE(QImage(dir.filePath(written)).size(), graph->size());
        if (!existing.isEmpty() && existing != written)
            QCOMPARE(ReadAll(dir.filePath(existing)), old);
    }

    void failedSave_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such folder") << true << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("write fails half way") << false << QString::fromLocal8Bit(std::strerror(EFBIG));
    }

    // The message names the file and the system's reason; a picture that was
    // there stays whole, and no temporary file is left beside it.
    void failedSave()
    {
        QFETCH(bool, missingFolder);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = missingFolder ? dir.filePath(QStringLiteral("gone/pic.jpg")) : dir.filePath(QStringLiteral("pic.jpg"));
        QImage old(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < old.height(); ++y)
            for (int x = 0; x < old.width(); ++x)
                old.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
        QByteArray oldFile;
        if (!missingFolder) {
            SaveJpeg(old, path);
            oldFile = ReadAll(path);
            QVERIFY(oldFile.size() > 4096);
        }

        QString error;
        {
            std::optional<TFileSizeLimit> limit;
            if (!missingFolder)
                limit.emplace(1024);
            error = ErrorOf([&] { SaveJpeg(old.mirrored(), path); });
        }
        QCOMPARE(error, QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
        QCOMPARE(ReadAll(path), oldFile);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), missingFolder ? QStringList() : QStringList{"pic.jpg"});
    }

    void greyPictureStillHasThreeComponents()
    {
        QImage grey(64, 48, QImage::Format_Grayscale8);
        grey.fill(128);
        const QString path = Path(QStringLiteral("grey.jpg"));
        SaveJpeg(grey, path);
        QCOMPARE(ReadMarkers(ReadAll(path)).Components, 3);
    }
};

QTEST_MAIN(TestImageExport)
#include "TestImageExport.moc"
