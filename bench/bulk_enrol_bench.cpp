// What a bulk enrolment costs: 1,000 persons with 30 KB JPEG photos imported
// through the dialog of a real, headless window against the terminal
// simulator, beside the same requests sent in a tight loop through the command
// functions without any window, in the same run, each against a simulator of
// its own. Prints persons a second of both and their ratio, the largest gap
// of a 10 ms window timer while the import runs, and the growth of resident
// memory over the import.
//
// Usage: bulk_enrol_bench [PERSONS]   (1000 by default)
#include "ProcessMemory.h"
#include "app/TfrmMain.h"
#include "common/Picture.h"
#include "device/CommandEnvelope.h"
#include "device/FaceCommands.h"
#include "device/PersonCommands.h"
#include "support/SimulatorProcess.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

const char* const kBaselineAddress = "127.0.42.1";
const char* const kWindowAddress = "127.0.42.2";
constexpr qsizetype kPhotoBytes = 30 * 1024;

// A JPEG of noise, grown until it holds about 30 KB.
QByteArray thirtyKilobyteJpeg(quint32 seed)
{
    QRandomGenerator random(seed);
    for (int side = 64;; side += 8) {
        QImage image(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                image.setPixel(x, y, random.generate() | 0xFF000000u);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 75);
        if (bytes.size() >= kPhotoBytes)
            return bytes;
    }
}

struct Sheet
{
    QString csv;
    QString photos;
};

Sheet writeSheet(const QString& folder, int persons)
{
    QDir(folder).mkpath("photos");
    Sheet sheet{QDir(folder).filePath("persons.csv"), QDir(folder).filePath("photos")};
    QByteArray csv = "\xEF\xBB\xBF" + QStringLiteral("人员ID,姓名,卡号,有效期\r\n").toUtf8();
    for (int i = 1; i <= persons; ++i) {
        QFile photo(QDir(sheet.photos).filePath(QStringLiteral("P%1.jpg").arg(i)));
        photo.open(QIODevice::WriteOnly);
        photo.write(thirtyKilobyteJpeg(quint32(i)));
        csv += QStringLiteral("P%1,员工%1,C%1,2030-06-30\r\n").arg(i).toUtf8();
    }
    QFile file(sheet.csv);
    file.open(QIODevice::WriteOnly);
    file.write(csv);
    return sheet;
}

// The rows' commands one after the other on one client, as fast as they go.
double baselinePersonsPerSecond(int persons, const QString& photos)
{
    HttpClient client(kFormContentType);
    client.setTimeoutMs(5000);
    const DeviceConnection connection{QString::fromLatin1(kBaselineAddress), 8090};
    QElapsedTimer timer;
    timer.start();
    int failures = 0;
    for (int i = 1; i <= persons; ++i) {
        const QString id = QStringLiteral("P%1").arg(i);
        PersonFields person;
        person.password = "58104726";
        person.empId = id;
        person.empName = QStringLiteral("员工%1").arg(i);
        person.cardId = QStringLiteral("C%1").arg(i);
        person.validDate = QDateTime(QDate(2030, 6, 30), QTime(23, 59, 59));
        for (PersonCommand command :
             {PersonCommand::Find, PersonCommand::Create, PersonCommand::PermissionsCreate})
            failures += RunPersonCommand(command, person, connection, client).error ? 1 : 0;
        const FaceFields face{"58104726", id,    id,
                              {},         false, Picture::load(QDir(photos).filePath(id + ".jpg"))};
        failures += RunFaceCommand(FaceCommand::Register, face, connection, client).error ? 1 : 0;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (failures)
        std::printf("baseline: %d transfers failed\n", failures);
    return persons / seconds;
}

template <typename T> T* find(TfrmMain& window, const char* name)
{
    return window.findChild<T*>(name);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int persons = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;

    QTemporaryDir folder;
    const Sheet sheet = writeSheet(folder.path(), persons);
    SimulatorProcess baselineTerminal(kBaselineAddress);
    SimulatorProcess windowTerminal(kWindowAddress);
    if (!baselineTerminal.listening() || !windowTerminal.listening()) {
        std::fprintf(stderr, "the simulator did not start: %s\n", qPrintable(windowTerminal.errors()));
        return 1;
    }

    const double baseline = baselinePersonsPerSecond(persons, sheet.photos);

    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    find<QLineEdit>(window, "edtIP")->setText(kWindowAddress);
    find<QPushButton>(window, "btnLink")->click();
    find<QPushButton>(window, "btnBulkEnrol")->click();
    find<QLineEdit>(window, "edtBulkCsv")->setText(sheet.csv);
    find<QLineEdit>(window, "edtBulkPhotos")->setText(sheet.photos);
    QElapsedTimer checkTimer;
    checkTimer.start();
    QPushButton* check = find<QPushButton>(window, "btnBulkCheck");
    check->click();
    while (!check->isEnabled() && checkTimer.elapsed() < 600'000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    const double checkSeconds = checkTimer.nsecsElapsed() / 1e9;

    QPushButton* start = find<QPushButton>(window, "btnBulkStart");
    const long rssBefore = statusKb("VmRSS:");
    const qint64 trafficBefore = window.trafficLog().keptBytes();
    QElapsedTimer run;
    QElapsedTimer sinceTick;
    qint64 largestGapMs = 0;
    QTimer tick;
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        largestGapMs = std::max(largestGapMs, sinceTick.restart());
        // Bounded: a run that does not end within ten minutes ends the figure.
        if (start->isEnabled() || run.elapsed() > 600'000)
            loop.quit();
    });
    run.start();
    start->click();
    sinceTick.start();
    tick.start(10);
    loop.exec();
    const double seconds = run.nsecsElapsed() / 1e9;
    const long rssAfter = statusKb("VmRSS:");
    const double trafficMb = (window.trafficLog().keptBytes() - trafficBefore) / 1048576.0;
    const QString summary = find<QWidget>(window, "lblBulkSummary")->property("text").toString();
    const double through = persons / seconds;

    std::printf("persons: %d, photos of %lld bytes; the check before the import took %.2f s\n", persons,
                static_cast<long long>(kPhotoBytes), checkSeconds);
    std::printf("outcome: %s\n", qPrintable(summary));
    std::printf("persons/s: dialog %.1f, tight loop %.1f, ratio %.2f (goal >= 0.9)\n", through, baseline,
                through / baseline);
    std::printf("largest gap of a 10 ms window timer during the import: %lld ms (goal <= 50)\n",
                static_cast<long long>(largestGapMs));
    const double growthMb = (rssAfter - rssBefore) / 1024.0;
    // The traffic panel keeps every exchange, photos included, up to its budget.
    std::printf("resident memory growth over the import: %.1f MB (goal <= 30), of which the traffic log's "
                "records %.1f MB; without them %.1f MB\n",
                growthMb, trafficMb, growthMb - trafficMb);
    return 0;
}
