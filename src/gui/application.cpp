#include "gui/application.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <chrono>

#include "app/command_line.h"
#include "app/main_form.h"
#include "app/title_list_form.h"
#include "gui/about_box.h"
#include "gui/activation_tracker.h"
#include "gui/design_fonts.h"
#include "gui/go_to_row_dialog.h"
#include "gui/icons.h"
#include "gui/item_name_dialog.h"
#include "gui/main_window.h"
#include "gui/match_count_dialog.h"
#include "gui/program_application.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"
#include "gui/title_list_window.h"
#include "gui/window_placement.h"

namespace qv {

namespace {

void LoadQtJapaneseTexts(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

// How often the recovery copy is brought up to date: every 30 seconds. Tests that run the
// program shorten it with QUORVANE_RECOVERY_INTERVAL_MS.
std::chrono::milliseconds RecoveryInterval() {
    bool valid = false;
    const int testing = qEnvironmentVariableIntValue("QUORVANE_RECOVERY_INTERVAL_MS", &valid);
    return std::chrono::milliseconds(valid && testing > 0 ? testing : 30'000);
}

}  // namespace

void PrepareApplication(QApplication& application) {
    LoadQtJapaneseTexts(application);
    MapDesignFonts();
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvane"));
}

Application::Application(StoreLocations stores, std::string decimalSeparator,
                         const std::string& stateFolder)
    : windows_(std::make_unique<QtWindowSystem>()) {
    mainForm_ =
        std::make_unique<MainForm>(*windows_, std::move(stores), std::move(decimalSeparator));
    mainForm_->Files().StartRecovery(stateFolder);
    if (!stateFolder.empty()) {
        recoveryTimer_ = std::make_unique<QTimer>();
        recoveryTimer_->setInterval(RecoveryInterval());
        QObject::connect(recoveryTimer_.get(), &QTimer::timeout, [this] { KeepRecoveryCopy(); });
    }
    titleListForm_ = std::make_unique<TitleListForm>(mainForm_->Files(), *windows_);
    mainForm_->AttachTitleListForm(titleListForm_.get());

    main_ = std::make_unique<MainWindow>(*mainForm_, *windows_);
    windows_->AttachMainWindow(main_.get());
    mainForm_->Start();

    about_ = std::make_unique<AboutBox>(main_.get());
    windows_->AttachAboutBox(about_.get());
    itemName_ = std::make_unique<ItemNameDialog>(*windows_, main_.get());
    windows_->AttachItemNameDialog(itemName_.get());
    matchCount_ = std::make_unique<MatchCountDialog>(*windows_, main_.get());
    windows_->AttachMatchCountDialog(matchCount_.get());
    goToRow_ = std::make_unique<GoToRowDialog>(*windows_, main_.get());
    windows_->AttachGoToRowDialog(goToRow_.get());

    titleListWindow_ = std::make_unique<TitleListWindow>(*titleListForm_, *windows_);
    windows_->AttachTitleListWindow(titleListWindow_.get());
    titleListForm_->Start();

    tracker_ = std::make_unique<ActivationTracker>(
        *main_, *titleListWindow_,
        [this] { windows_->RunCommand([this] { mainForm_->Activated(); }); },
        [this] { windows_->RunCommand([this] { titleListForm_->Activated(); }); });
    windows_->AttachActivationTracker(tracker_.get());

    if (auto* program = qobject_cast<ProgramApplication*>(QCoreApplication::instance())) {
        program->SetFailureBox([this](const QString& message) { windows_->ShowFailure(message); });
    }
}

Application::~Application() {
    if (auto* program = qobject_cast<ProgramApplication*>(QCoreApplication::instance())) {
        program->SetFailureBox({});
    }
}

void Application::KeepRecoveryCopy() {
    // Not inside a modal window: a command may be half way (a save showing its progress).
    if (QApplication::activeModalWidget() != nullptr) {
        return;
    }
    bool building = false;
    windows_->RunCommand(
        [this, &building] { building = mainForm_->Files().WriteRecoveryCopyIfDue(); });
    if (building) {
        // A pause between slices, so that the window keeps up with the user.
        QTimer::singleShot(10, main_.get(), [this] { KeepRecoveryCopy(); });
    }
}

void Application::EndEventLoopWithMainWindow() {
    // QCoreApplication::quit() would first try to close every window.
    QObject::connect(
        main_.get(), &MainWindow::Closed, main_.get(), [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
}

void Application::Start(const std::string& file) {
    int screenWidth = 0;
    int screenHeight = 0;
    PrimaryScreenSize(screenWidth, screenHeight);
    windows_->SetMainWindowGeometry(
        CentredOnScreen(windows_->MainWindowGeometry(), screenWidth, screenHeight));
    main_->show();
    main_->raise();
    main_->activateWindow();
    if (!recoveryTimer_ && file.empty()) {
        return;
    }
    QTimer::singleShot(0, main_.get(), [this, file] {
        if (recoveryTimer_) {
            windows_->RunCommand([this] { mainForm_->Files().OfferRecoveryCopies(); });
            recoveryTimer_->start();
        }
        if (!file.empty()) {
            windows_->RunCommand([this, &file] {
                CheckCommandLineFileExists(file);
                mainForm_->Interchange().OpenFile(file);
            });
        }
    });
}

}  // namespace qv
