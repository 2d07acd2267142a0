// The serial-screen firmware upload with a 16 MB file against a loopback sink
// terminal: the time from the click to the reply, the shares of reading, hex
// encoding, form framing and sending, and the peak memory as a multiple of the
// file size, next to a straightforward build of the same body (whole-file hex
// text, then the form encoder) and a bare socket sending the same bytes.
//
// Run without arguments, it is the driver: it writes the file and starts
// itself once per phase ("--phase NAME FILE"), so that every phase's peak
// memory (VmHWM) is measured in a fresh process against its own resident size
// before the first round. Each phase runs a fixed number of rounds and is
// stopped if it takes longer than its limit.
#include "SinkTerminal.h"
#include "ProcessMemory.h"
#include "app/LogView.h"
#include "app/TfrmMain.h"
#include "device/CommandEnvelope.h"
#include "device/FirmwareUpgrade.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr qsizetype kFileBytes = 16 * 1024 * 1024;
constexpr int kRounds = 7;
constexpr int kPhaseLimitMs = 180000;
constexpr const char* kAddress = "127.0.12.200";
constexpr std::uint16_t kPort = 8090;
const QString kPassword = QStringLiteral("58104726");

// The peak from here on is measured against the resident size now.
long resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return statusKb("VmRSS:");
}

double peakTimesFile(long residentBeforeKb)
{
    return (statusKb("VmHWM:") - residentBeforeKb) * 1024.0 / kFileBytes;
}

double ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> samples)
{
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// Runs a round kRounds times; the first round's peak memory is the phase's.
void rounds(const char* name, const std::function<void()>& round)
{
    std::vector<double> samples;
    double peak = 0;
    for (int i = 0; i < kRounds; ++i) {
        const long before = resetPeak();
        QElapsedTimer timer;
        timer.start();
        round();
        samples.push_back(ms(timer));
        if (i == 0)
            peak = peakTimesFile(before);
    }
    std::printf("%s %.4f %.2f\n", name, median(samples), peak);
}

void expect(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "unexpected: %s\n", what);
        std::exit(1);
    }
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    expect(file.open(QIODevice::ReadOnly), "file opens");
    return file.readAll();
}

DeviceConnection sink()
{
    return {QString::fromLatin1(kAddress), kPort};
}

int clickPhase(int argc, char** argv, const QString& path)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SinkTerminal terminal(kAddress, kPort);
    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.setErrorPresenter(
        [](const QString& text) { std::fprintf(stderr, "error box: %s\n", qPrintable(text)); });
    window.show();
    window.findChild<QLineEdit*>("edtIP")->setText(QString::fromLatin1(kAddress));
    QTest::mouseClick(window.findChild<QPushButton*>("btnLink"), Qt::LeftButton);
    auto* button = window.findChild<QPushButton*>("btnbootOnline");
    auto* log = window.findChild<LogView*>("mmMsg");
    // The dialog is answered at once, so the round is the work after the choice.
    rounds("click", [&] {
        // The dialog is built on the first click.
        QTimer::singleShot(0, &window, [&window, path] {
            auto* dialog = window.findChild<QFileDialog*>("OpenDialog1");
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
        });
        QTest::mouseClick(button, Qt::LeftButton);
        expect(log->toPlainText().endsWith(QStringLiteral("127.0.12.200ok")), "success line");
        expect(terminal.lastBodyBytes() == quint64(2 * kFileBytes + 22), "whole body received");
        log->clear();
    });
    return 0;
}

int commandPhase(const QString& path)
{
    SinkTerminal terminal(kAddress, kPort);
    HttpClient client(kFormContentType);
    rounds("command", [&] {
        const CommandLog log = UploadFirmware(sink(), kPassword, path, client);
        expect(log.lines.size() == 2 && log.lines[1].endsWith("ok"), "success line");
    });
    return 0;
}

int sharesPhase(const QString& path)
{
    SinkTerminal terminal(kAddress, kPort);
    HttpClient client(kFormContentType);
    const QByteArray firmware = readAll(path);
    rounds("read", [&] { expect(readAll(path).size() == kFileBytes, "file read"); });
    rounds("hex", [&] {
        QByteArray text;
        text.reserve(2 * firmware.size());
        AppendHex(text, firmware.constData(), firmware.size());
        expect(text.size() == 2 * kFileBytes, "hex text");
    });
    // The same into memory already touched: the encoding alone, without the
    // first-touch page faults that a fresh body always costs.
    QByteArray warm;
    warm.reserve(2 * firmware.size());
    AppendHex(warm, firmware.constData(), firmware.size());
    rounds("hexWarm", [&] {
        warm.resize(0);
        AppendHex(warm, firmware.constData(), firmware.size());
        expect(warm.size() == 2 * kFileBytes, "hex text");
    });
    // Reading and hex encoding streamed into the body, plus the form framing.
    rounds("body", [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        expect(FirmwareFormBody(kPassword, file).size() == 2 * kFileBytes + 22, "body");
    });
    // What the form adds around the digits, which need no encoding of their own.
    rounds("framing", [&] {
        QBuffer none;
        none.open(QIODevice::ReadOnly);
        expect(FirmwareFormBody(kPassword, none).size() == 13, "framing");
    });
    QBuffer memory;
    memory.setData(firmware);
    memory.open(QIODevice::ReadOnly);
    const QByteArray body = FirmwareFormBody(kPassword, memory);
    const QString url = CommandUrl(sink(), QStringLiteral("bootOnline"));
    rounds("send", [&] { expect(!PostEncodedForm(client, url, body).isEmpty(), "reply"); });
    return 0;
}

// The same body built the plain way: the whole file, its whole hex text, then
// the form encoder over that text.
int straightforwardPhase(const QString& path)
{
    SinkTerminal terminal(kAddress, kPort);
    HttpClient client(kFormContentType);
    const QString url = CommandUrl(sink(), QStringLiteral("bootOnline"));
    rounds("plain", [&] {
        FormFields fields;
        fields.set("pass", kPassword);
        fields.setBytes("binData", readAll(path).toHex().toUpper());
        expect(!PostForm(client, url, fields).isEmpty(), "reply");
        expect(terminal.lastBodyBytes() == quint64(2 * kFileBytes + 22), "whole body received");
    });
    // Its steps one by one.
    QByteArray hex;
    rounds("plainHex", [&] { hex = readAll(path).toHex().toUpper(); });
    FormFields fields;
    fields.set("pass", kPassword);
    fields.setBytes("binData", hex);
    QByteArray body;
    rounds("plainForm", [&] { body = fields.encoded(); });
    rounds("plainSend", [&] { expect(!PostEncodedForm(client, url, body).isEmpty(), "reply"); });
    return 0;
}

// The body's bytes behind the same head over a plain socket, up to the reply.
int barePhase(const QString& path)
{
    SinkTerminal terminal(kAddress, kPort);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray body = FirmwareFormBody(kPassword, file);
    const QByteArray head =
        "POST /bootOnline HTTP/1.0\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    rounds("bare", [&] {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(kPort);
        ::inet_pton(AF_INET, kAddress, &at.sin_addr);
        expect(::connect(socket, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0, "connect");
        for (const QByteArray* part : {&head, &body}) {
            qsizetype sent = 0;
            while (sent < part->size()) {
                const ssize_t n = ::send(socket, part->constData() + sent, part->size() - sent, MSG_NOSIGNAL);
                expect(n > 0, "send");
                sent += n;
            }
        }
        char chunk[4096];
        std::size_t total = 0;
        for (ssize_t n; (n = ::recv(socket, chunk, sizeof chunk, 0)) > 0;)
            total += n;
        ::close(socket);
        expect(total > 0, "reply");
    });
    return 0;
}

struct Figure
{
    double ms = 0;
    double peak = 0;
};

int drive(const char* program)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("screen.bin");
    {
        QByteArray bytes(kFileBytes, Qt::Uninitialized);
        std::mt19937 random(16);
        for (char& byte : bytes)
            byte = char(random());
        QFile file(path);
        expect(file.open(QIODevice::WriteOnly) && file.write(bytes) == kFileBytes, "file written");
    }

    std::map<QByteArray, Figure> figures;
    for (const char* phase : {"click", "command", "shares", "straightforward", "bare"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QString::fromLocal8Bit(program), {"--phase", phase, path});
        if (!child.waitForFinished(kPhaseLimitMs)) {
            child.kill();
            child.waitForFinished();
            std::fprintf(stderr, "phase %s stopped after %d s\n", phase, kPhaseLimitMs / 1000);
            return 1;
        }
        if (child.exitCode() != 0) {
            std::fprintf(stderr, "phase %s failed\n", phase);
            return 1;
        }
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3)
                figures[parts[0]] = {parts[1].toDouble(), parts[2].toDouble()};
        }
    }

    const Figure& click = figures["click"];
    const Figure& command = figures["command"];
    const Figure& plain = figures["plain"];
    const double bare = figures["bare"].ms;
    auto share = [](const char* what, double part, double whole) {
        std::printf("  %-34s %8.1f ms  %5.1f %%\n", what, part, 100 * part / whole);
    };
    std::printf(
        "16 MiB firmware file, %d rounds per phase, medians; peak = (VmHWM - VmRSS before) / file size\n",
        kRounds);
    std::printf("click to reply (window)             %8.1f ms  peak %.2f x file\n", click.ms, click.peak);
    std::printf("upload command (no window)          %8.1f ms  peak %.2f x file\n", command.ms, command.peak);
    share("read, hex and form, streamed", figures["body"].ms, command.ms);
    share("  read whole file alone", figures["read"].ms, command.ms);
    share("  hex encoding into a fresh body", figures["hex"].ms, command.ms);
    share("    of it, into touched memory", figures["hexWarm"].ms, command.ms);
    std::printf("  %-34s %8.4f ms\n", "  form framing (digits need none)", figures["framing"].ms);
    share("sending to reply", figures["send"].ms, command.ms);
    std::printf("bare socket, same bytes             %8.1f ms  sending / bare %.2f\n", bare,
                figures["send"].ms / bare);
    std::printf("straightforward (hex text, form encoder, post)  %8.1f ms  peak %.2f x file\n", plain.ms,
                plain.peak);
    share("read and toHex().toUpper()", figures["plainHex"].ms, plain.ms);
    share("FormFields::encoded()", figures["plainForm"].ms, plain.ms);
    share("sending to reply", figures["plainSend"].ms, plain.ms);
    std::printf("command / straightforward: time %.2f, peak %.2f\n", command.ms / plain.ms,
                command.peak / plain.peak);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--phase") {
        const QByteArray phase = argv[2];
        const QString path = QString::fromLocal8Bit(argv[3]);
        if (phase == "click")
            return clickPhase(argc, argv, path);
        if (phase == "command")
            return commandPhase(path);
        if (phase == "shares")
            return sharesPhase(path);
        if (phase == "straightforward")
            return straightforwardPhase(path);
        if (phase == "bare")
            return barePhase(path);
        return 2;
    }
    return drive(argv[0]);
}
