// Program entry: GNU options first, then the main window.
#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <iostream>

#include "shell/gnu_options.h"
#include "version.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const qv::GnuOptions options = qv::ParseGnuOptions(args);
  if (!options.error.empty()) {
    std::cerr << "quirvane: " << options.error << "\nTry 'quirvane --help' for more information.\n";
    return 2;
  }
  if (options.help) {
    std::cout << qv::HelpText();
    return 0;
  }
  if (options.version) {
    std::cout << qv::VersionText();
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Quirvane");
  QApplication::setApplicationVersion(qv::kVersion);
  QMainWindow window;
  window.setObjectName("fmMain");
  window.setWindowTitle("Quirvane");
  window.resize(900, 640);
  window.show();
  return QApplication::exec();
}
