// stickwell-batch items|render run as a user runs them.
#include "ItemTestHost.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct BatchRun {
    int code = -1;
    QString err;
};

BatchRun Batch(const QStringList& args)
{
    const QString exe = QStringLiteral(STICKWELL_BIN_DIR "/stickwell-batch");
    BatchRun r;
    if (!QFile::exists(exe))
        return r;
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(60000);
    r.code = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Batch, ItemsRewritesTheTextAndStopsAtABadLine)
{
    if (!QFile::exists(STICKWELL_BIN_DIR "/stickwell-batch"))
        GTEST_SKIP() << "stickwell-batch not built";
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt"), out = dir.filePath("out.txt");
    const QByteArray shapes = "LABELITEM=ELLIPSE\r\nTOP=0.104\r\nLEFT=-0.250\r\nWIDTH=1.000\r\n"
                              "HEIGHT=0.500\r\nBRUSHSTYLE=SOLID\r\nCOLOR=255\r\nLINETHICKNESS=2\r\n"
                              "LINECOLOR=0\r\n";
    Write(in, shapes);
    BatchRun r = Batch({"items", in, out});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ReadAll(out), shapes);

    // At 120 pixels per inch the lengths come back through 120-pixel positions.
    r = Batch({"items", in, out, "--dpi", "120"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(ReadAll(out).contains("TOP=0.100\r\n"));

    Write(in, shapes + "LABELITEM=RECTANGLE\r\nWIDTH=wide\r\n");
    r = Batch({"items", in, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("'wide' is not a valid floating point value"));
    EXPECT_EQ(ReadAll(out), shapes);

    Write(in, "LABELITEM=SYMBOL\r\nASCIICHAR=0\r\n");
    r = Batch({"items", in, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("batch mode cannot"));

    EXPECT_EQ(Batch({"items", in}).code, 2);
    EXPECT_EQ(Batch({"items", in, out, "--dpi", "zero"}).code, 2);
    EXPECT_EQ(Batch({"items", dir.filePath("missing.txt"), out}).code, 1);
}

TEST(Batch, RenderDrawsThePanelAsTheDesignerShowsIt)
{
    if (!QFile::exists(STICKWELL_BIN_DIR "/stickwell-batch"))
        GTEST_SKIP() << "stickwell-batch not built";
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt"), png = dir.filePath("out.png");
    Write(in, "LABELITEM=RECTANGLE\r\nTOP=0.500\r\nLEFT=0.500\r\nWIDTH=1.000\r\nHEIGHT=0.500\r\n"
              "BRUSHSTYLE=SOLID\r\nCOLOR=16711680\r\nLINETHICKNESS=1\r\nLINECOLOR=0\r\n");
    const BatchRun r = Batch({"render", in, png, "--width", "2.5", "--height", "1.25", "--shape", "SR"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage img(png);
    ASSERT_EQ(img.size(), QSize(240, 120));
    EXPECT_EQ(img.pixelColor(100, 70), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(20, 20), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(Batch({"render", in, png, "--width", "2.5"}).code, 2);
    EXPECT_EQ(Batch({"render", in, png, "--width", "1", "--height", "1", "--shape", "XX"}).code, 2);
}

// Found by fuzzing: an image item holding a metafile with text, 999999 inches wide and 0.01
// high, and one holding a bitmap whose pixels pass its colour table, render without a crash.
TEST(Batch, RenderSurvivesPicturesNoDeviceCanDraw)
{
    if (!QFile::exists(STICKWELL_BIN_DIR "/stickwell-batch"))
        GTEST_SKIP() << "stickwell-batch not built";
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt"), png = dir.filePath("out.png");
    Write(in, "LABELITEM=IMAGE\r\nTOP=0.100\r\nLEFT=0.100\r\nWIDTH=999999.000\r\nHEIGHT=0.010\r\n"
              "FILENAMEANDPATH=" + ModelData("embedded.wmf").toUtf8() + "\r\nSTRETCH=Y\r\n"
              "LABELITEM=IMAGE\r\nTOP=0.500\r\nLEFT=0.500\r\nWIDTH=0.500\r\nHEIGHT=0.250\r\n"
              "FILENAMEANDPATH=" + ModelData("index-beyond-palette.bmp").toUtf8() + "\r\nSTRETCH=Y\r\n");
    const BatchRun r = Batch({"render", in, png, "--width", "2", "--height", "1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage img(png);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixelColor(72, 60), QColor(Qt::black));  // the bitmap, black past its table
}

// items takes the memo's own bytes: Windows-1252, or UTF-8 behind its mark, each written back
// the same way.
TEST(Batch, ItemsKeepsTheMemosCharacterSet)
{
    if (!QFile::exists(STICKWELL_BIN_DIR "/stickwell-batch"))
        GTEST_SKIP() << "stickwell-batch not built";
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    for (const char* name : {"cp1252-items.txt", "utf8-items.txt"}) {
        const BatchRun r = Batch({"items", ModelData(name), out});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QByteArray back = ReadAll(out);
        EXPECT_EQ(back.startsWith("CHARSET=UTF-8\r\nLABELITEM=TEXT\r\nTEXT=\xc5\x81\xc3\xb3" "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac\r\n"),
                  QByteArray(name).startsWith("utf8"))
            << name;
    }
    EXPECT_EQ(ReadAll(out).count("\r\n"), 16);  // the mark and one text record
    const BatchRun again = Batch({"items", ModelData("cp1252-items.txt"), out});
    EXPECT_EQ(ReadAll(out), ReadAll(ModelData("cp1252-items.txt")));
}
