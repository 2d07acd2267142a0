// Starts the real main window, connects it to a running quillmoor-terminal
// that refuses some faces, imports a small sample sheet through the bulk
// enrolment dialog and saves a picture of the dialog after the run, for the
// README. Run by tools/dialog-screenshots.sh, which starts the simulator.
#include "Settle.h"
#include "app/TfrmMain.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QByteArray jpeg(int hue)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(hue, 160, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// Twelve persons; one lacks a photo and one repeats an ID.
QString writeSample(const QString& folder)
{
    const QStringList names = {"王伟", "李娜", "张敏", "刘洋", "陈静",
                               "杨磊", "赵丽", "黄强", "周杰", "吴芳"};
    QString csv = QStringLiteral("人员ID,姓名,卡号,有效期,照片\r\n");
    for (int i = 0; i < names.size(); ++i) {
        const QString id = QStringLiteral("1%1").arg(i + 1, 3, 10, QChar('0'));
        QFile photo(QDir(folder).filePath(id + ".jpg"));
        photo.open(QIODevice::WriteOnly);
        photo.write(jpeg(i * 36));
        csv += QStringLiteral("%1,%2,C%1,2030-12-31,\r\n").arg(id, names[i]);
    }
    csv += QStringLiteral("1011,孙涛,,,\r\n1003,重复,,,\r\n");
    const QString path = QDir(folder).filePath("persons.csv");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("\xEF\xBB\xBF" + csv.toUtf8());
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: bulk_enrol_dialog OUTPUT_PNG SIMULATOR_ADDRESS\n", stderr);
        return 2;
    }
    QTemporaryDir programFolder;
    const QString csv = writeSample(programFolder.path());
    TfrmMain window;
    window.setProgramFolder(programFolder.path());
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("edtIP"))->setText(QString::fromLocal8Bit(argv[2]));
    window.findChild<QPushButton*>(QStringLiteral("btnLink"))->click();
    window.findChild<QPushButton*>(QStringLiteral("btnBulkEnrol"))->click();
    auto* dialog = window.findChild<QDialog*>(QStringLiteral("bulkEnrolDialog"));
    if (!dialog) {
        std::fputs("bulk_enrol_dialog: the dialog did not open\n", stderr);
        return 1;
    }
    dialog->findChild<QLineEdit*>(QStringLiteral("edtBulkCsv"))->setText(csv);
    dialog->findChild<QLineEdit*>(QStringLiteral("edtBulkPhotos"))->setText(programFolder.path());
    auto* check = dialog->findChild<QPushButton*>(QStringLiteral("btnBulkCheck"));
    auto* start = dialog->findChild<QPushButton*>(QStringLiteral("btnBulkStart"));
    for (QPushButton* step : {check, start}) {
        step->click();
        waitFor([step] { return step->isEnabled(); }, 60000);
    }
    settle(300);
    if (!start->isEnabled() || !dialog->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fputs("bulk_enrol_dialog: the import did not end or the picture cannot be written\n", stderr);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
