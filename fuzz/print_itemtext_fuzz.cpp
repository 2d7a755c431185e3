// The print run's item text reader on any bytes, and one small sheet of what it read drawn into
// a report stream: no crash, no hang, no undefined behaviour.
#include "print/PrintJob.h"
#include "report/RPDevice.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static sw::TRPDevice device(false, true);
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    sw::TPrintJob job;
    job.Sheet = sw::TSheetLayout{2, 2, 0.5, 0.25, 2.0, 1.0, QStringLiteral("LTR")};
    job.ItemText = text.split(QLatin1Char('\n'));
    job.Sheets = 2;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    sw::RunPrintJob(device, job, &stream);
    return 0;
}
