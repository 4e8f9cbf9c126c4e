// Start-up and shut-down of the program around the main window's event loop.
#include "shell/ui/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>

#include "config/env_options.h"
#include "config/ui/translate_widget.h"
#include "platform/instance_channel.h"
#include "platform/prompter.h"
#include "platform/ui/qt_prompter.h"
#include "shell/handover.h"
#include "shell/startup.h"
#include "shell/ui/main_window.h"
#include "version.h"

namespace qv {

int RunApplication(int& argc, char** argv, const std::vector<std::string>& args, const std::string& settingsMessage) {
  // A file-size limit then fails the write that meets it instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);

  EnvOptions();  // read before anything else needs them
  std::error_code ec;
  const std::filesystem::path startupDir = std::filesystem::current_path(ec);

  // The instance check: a running program may take the arguments, and this start ends unseen.
  StartupDecision decision = DecideStartup(DefaultInstanceChannelOptions(), args, startupDir);
  if (decision.role == StartupRole::HandedOver) return 0;
  if (!decision.error.empty()) std::cerr << "quirvane: running alone: " << decision.error << "\n";

  QApplication app(argc, argv);
  QApplication::setApplicationName("quirvane");
  QApplication::setApplicationVersion(kVersion);
  QApplication::setDesktopFileName("quirvane");
  InstallBusyCursor();

  int code = 0;
  {
    InstallPrompter(std::make_unique<QtPrompter>());
    auto window = std::make_unique<TfmMain>();
    window->setStartArguments(args, startupDir);

    RunningInstance instance(*window);
    std::unique_ptr<QSocketNotifier> listener;
    if (decision.server) {
      listener = std::make_unique<QSocketNotifier>(decision.server->fd(), QSocketNotifier::Read);
      QObject::connect(listener.get(), &QSocketNotifier::activated, [&] { decision.server->serveReady(instance); });
    }
    std::filesystem::current_path(startupDir, ec);

    window->show();
    if (!settingsMessage.empty())
      QMessageBox::warning(window.get(), "Quirvane", QString::fromStdString(settingsMessage));
    code = QApplication::exec();

    listener.reset();
    decision.server.reset();  // later starts find no one and run on their own
    window.reset();
    InstallPrompter(nullptr);
  }
  ReleaseEnvOptions();  // writes LastDir
  return code;
}

}  // namespace qv
