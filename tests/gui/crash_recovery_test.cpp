// The real program killed after an edit: started again, it offers the recovery copy, and the
// restored table carries the edits. A stand-in user (user_driver.cpp) acts inside the program;
// QUORVANE_RECOVERY_INTERVAL_MS shortens the copy's 30 seconds.

#include <QtTest>

#include "platform/cp932.h"
#include "table/main_table_shape.h"
#include "table/table_file_writer.h"
#include "temp_folder.h"

namespace qv {

class CrashRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void editsSurviveAKill() {
        QTemporaryDir home;
        const QString program = home.filePath("quorvane");  // its settings and history go beside
        QVERIFY(QFile::copy(QString::fromUtf8(QV_PROGRAM), program));
        const std::string table = home.filePath("list.qvd").toStdString();
        const std::string title = *Utf8ToCp932("買い物");
        test::WriteTestFile(table,
                            BuildTableFile(TableGrid(kMainTableShape), title, {10, 20, 400, 300}));
        test::WriteTestFile(home.filePath("Quorvane.hst").toStdString(),
                            table + "\r\n" + title + "\r\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"}) {
            environment.insert(folder, home.path());
        }
        environment.insert("XDG_STATE_HOME", home.filePath("state"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QUORVANE_RECOVERY_INTERVAL_MS", "200");
        environment.insert("LD_PRELOAD", QV_USER_DRIVER);
        environment.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
        const QDir state(home.filePath("state/quorvane"));

        QProcess editing;
        environment.insert("QV_DRIVER_SCRIPT", "edit");
        editing.setProcessEnvironment(environment);
        editing.start(program, {});
        const std::string edited = title + "X\r\n";
        QTRY_VERIFY_WITH_TIMEOUT(
            CopyHolds(state, edited.c_str()) && CopyHolds(state, "RECOVERED\r\n"), 30000);
        editing.kill();  // SIGKILL
        QVERIFY(editing.waitForFinished(10000));

        QProcess restoring;
        environment.insert("QV_DRIVER_SCRIPT", "restore");
        restoring.setProcessEnvironment(environment);
        restoring.start(program, {});
        QVERIFY(restoring.waitForFinished(90000));  // slow on a busy machine under ASan
        QCOMPARE(restoring.exitStatus(), QProcess::NormalExit);
        QCOMPARE(restoring.exitCode(), 0);
        // One question, of the confirmation kind (its text is checked in recovery_test).
        QCOMPARE(QString::fromUtf8(restoring.readAllStandardOutput()), QStringLiteral("確認\n"));
        const std::string saved = test::ReadTestFile(table);  // saved to its own file
        QVERIFY(saved.find("\r\n" + edited) != std::string::npos);
        QVERIFY(saved.find("RECOVERED\r\n") != std::string::npos);
        QCOMPARE(state.entryList(QDir::Files), QStringList());  // a normal end leaves nothing
    }

private:
    // Whether a recovery copy in the folder holds the bytes (one replaced between the listing
    // and the reading does not).
    static bool CopyHolds(const QDir& state, const QByteArray& bytes) {
        for (const QString& name : state.entryList({QStringLiteral("*.qvd")}, QDir::Files)) {
            QFile copy(state.filePath(name));
            if (copy.open(QIODevice::ReadOnly) && copy.readAll().contains(bytes)) {
                return true;
            }
        }
        return false;
    }
};

}  // namespace qv

QTEST_MAIN(qv::CrashRecoveryTest)
#include "crash_recovery_test.moc"
